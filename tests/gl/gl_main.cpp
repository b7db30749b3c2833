// Entry point of every GL test binary: one hidden freeglut window gives the tests a real context.
#include <GL/glut.h>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    glutInit(&argc, argv);
    glutInitDisplayMode(GLUT_RGB | GLUT_DOUBLE | GLUT_DEPTH);
    glutInitWindowSize(640, 480);
    glutInitWindowPosition(0, 0);
    glutCreateWindow("gl-test");
    glutHideWindow();
    return RUN_ALL_TESTS();
}
