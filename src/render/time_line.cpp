// The authoring time line: text and a progress bar in the bottom letterbox band.
#include "render/time_line.h"

#include <GL/gl.h>

#include "render/font.h"
#include "render/overlay.h"

#define TIME_LINE_TEXT_Y 432    // overlay rows (480 high, y downward) of the band's text
#define TIME_LINE_PROBLEM_Y 450 // the reload error under the status
#define TIME_LINE_BAR_Y 472     // the bar's top row; it is 4 rows high

void drawTimeLine(const char* status, const char* problem, float fraction) {
    GLint viewport[4];
    glGetIntegerv(GL_VIEWPORT, viewport);
    // The band lies outside the letterboxed viewport: the whole window for the overlay.
    glViewport(0, 0, viewport[2], viewport[3] + 2 * viewport[1]);
    printText(8, TIME_LINE_TEXT_Y, 0, "%s", status);
    if (problem != nullptr && problem[0] != '\0') {
        printText(8, TIME_LINE_PROBLEM_Y, 0, "%s", problem);
    }
    fraction = fraction < 0.0f ? 0.0f : (fraction > 1.0f ? 1.0f : fraction);
    beginOverlay();
    glDisable(GL_TEXTURE_2D);
    glColor4f(0.9f, 0.6f, 0.1f, 1.0f);
    glBegin(GL_QUADS);
    glVertex2f(8, TIME_LINE_BAR_Y);
    glVertex2f(8 + 624 * fraction, TIME_LINE_BAR_Y);
    glVertex2f(8 + 624 * fraction, TIME_LINE_BAR_Y + 4);
    glVertex2f(8, TIME_LINE_BAR_Y + 4);
    glEnd();
    glColor4f(1, 1, 1, 1);
    endOverlay(false);
    glViewport(viewport[0], viewport[1], viewport[2], viewport[3]);
}
