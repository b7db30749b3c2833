// The state keys leave their GL state (the GL changes are render/'s; the table is app/keys): each
// key below changes what the one before it left, so a key that does nothing or the wrong thing
// shows.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "app/keys.h"

TEST(KeysGl, EachStateKeyLeavesItsState) {
    const struct {
        unsigned char key;
        GLenum state; // a capability, or GL_POLYGON_MODE or GL_SHADE_MODEL
        GLint value;  // 1 or 0 for a capability
    } keys[] = {{'c', GL_CULL_FACE, 1},          {'C', GL_CULL_FACE, 0},
                {'L', GL_LIGHTING, 1},           {'l', GL_LIGHTING, 0},
                {'i', GL_POLYGON_MODE, GL_LINE}, {'p', GL_POLYGON_MODE, GL_POINT},
                {'o', GL_POLYGON_MODE, GL_FILL}, {'X', GL_SHADE_MODEL, GL_FLAT},
                {'x', GL_SHADE_MODEL, GL_SMOOTH}};
    for (const auto& k : keys) {
        onKey(k.key, 0, 0);
        GLint value[2] = {0, 0};
        if (k.state == GL_POLYGON_MODE || k.state == GL_SHADE_MODEL) {
            glGetIntegerv(k.state, value);
        } else {
            value[0] = glIsEnabled(k.state);
        }
        EXPECT_EQ(value[0], k.value) << k.key;
    }
}
