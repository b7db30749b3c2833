// The state keys leave their GL state (the GL changes are render/'s; the table is app/keys): each
// key below changes what the one before it left, so a key that does nothing or the wrong thing
// shows.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include "app/keys.h"

TEST(KeysGl, EachStateKeyLeavesItsState) {
    const struct {
        unsigned char key;
        GLenum state; // a capability, a glGetIntegerv name or a filter of the bound texture
        GLint value;  // 1 or 0 for a capability
    } keys[] = {{'c', GL_CULL_FACE, 1},
                {'C', GL_CULL_FACE, 0},
                {'L', GL_LIGHTING, 1},
                {'l', GL_LIGHTING, 0},
                {'i', GL_POLYGON_MODE, GL_LINE},
                {'p', GL_POLYGON_MODE, GL_POINT},
                {'o', GL_POLYGON_MODE, GL_FILL},
                {'X', GL_SHADE_MODEL, GL_FLAT},
                {'x', GL_SHADE_MODEL, GL_SMOOTH},
                {'k', GL_FOG, 1},
                {'k', GL_FOG_MODE, GL_EXP2},
                {'k', GL_FOG_MODE, GL_LINEAR},
                {'k', GL_FOG, 0},
                {'M', GL_TEXTURE_MAG_FILTER, GL_NEAREST},
                {'m', GL_TEXTURE_MIN_FILTER, GL_LINEAR}};
    for (const auto& k : keys) {
        onKey(k.key, 0, 0);
        GLint value[2] = {0, 0};
        if (k.state == GL_TEXTURE_MAG_FILTER || k.state == GL_TEXTURE_MIN_FILTER) {
            glGetTexParameteriv(GL_TEXTURE_2D, k.state, value);
        } else if (k.state == GL_CULL_FACE || k.state == GL_LIGHTING || k.state == GL_FOG) {
            value[0] = glIsEnabled(k.state);
        } else {
            glGetIntegerv(k.state, value);
        }
        EXPECT_EQ(value[0], k.value) << k.key;
    }
}
