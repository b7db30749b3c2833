// OpenGL 1.1 state entry points on WebGL 2: the calls render/ makes for lights, material, fog,
// enables and modes keep their state here (the shader reads it at each draw) or pass through to
// WebGL. Web back end only.
#include <cmath>
#include <cstring>

#include "web/fixed_state.h"
#include "web/webgl.h"

//----------------------------------------------------------------------------------
// Global state
//----------------------------------------------------------------------------------
static FixedState initialState() {
    FixedState s{};
    s.modelview.assign(1, identityMatrix());
    s.projection.assign(1, identityMatrix());
    s.matrixMode = GL_MODELVIEW;
    const float black[4] = {0, 0, 0, 1}, white[4] = {1, 1, 1, 1};
    for (int i = 0; i < FIXED_MAX_LIGHTS; i++) {
        FixedLight& light = s.lights[i];
        const float position[4] = {0, 0, 1, 0};
        memcpy(light.position, position, sizeof position);
        memcpy(light.diffuse, i == 0 ? white : black, sizeof white);
        memcpy(light.specular, i == 0 ? white : black, sizeof white);
        memcpy(light.ambient, black, sizeof black);
        light.attenuation[0] = 1.0f;
    }
    const float ambient[4] = {0.2f, 0.2f, 0.2f, 1.0f}, diffuse[4] = {0.8f, 0.8f, 0.8f, 1.0f};
    memcpy(s.materialAmbient, ambient, sizeof ambient);
    memcpy(s.materialDiffuse, diffuse, sizeof diffuse);
    memcpy(s.materialSpecular, black, sizeof black);
    memcpy(s.materialEmission, black, sizeof black);
    memcpy(s.sceneAmbient, ambient, sizeof ambient);
    s.fogMode = GL_EXP;
    s.fogDensity = 1.0f;
    s.fogEnd = 1.0f;
    s.polygonMode = GL_FILL;
    s.pointSize = 1.0f;
    memcpy(s.color, white, sizeof white);
    s.normal[2] = 1.0f;
    return s;
}

FixedState fixedState = initialState();

extern "C" {
//----------------------------------------------------------------------------------
// Enables, lights, material, fog
//----------------------------------------------------------------------------------

// The switch of a capability this folder keeps, or null for those WebGL keeps.
static bool* keptSwitch(GLenum cap) {
    FixedState& s = fixedState;
    if (cap >= GL_LIGHT0 && cap < GL_LIGHT0 + FIXED_MAX_LIGHTS) {
        return &s.lights[cap - GL_LIGHT0].enabled;
    }
    switch (cap) {
    case GL_LIGHTING:
        return &s.lighting;
    case GL_FOG:
        return &s.fog;
    case GL_TEXTURE_2D:
        return &s.texture2D;
    default:
        return nullptr;
    }
}

static void setCapability(GLenum cap, bool on) {
    flushBatch();
    if (bool* kept = keptSwitch(cap)) {
        *kept = on;
    } else if (cap == GL_BLEND || cap == GL_DEPTH_TEST || cap == GL_CULL_FACE) {
        if (cap == GL_DEPTH_TEST) {
            fixedState.depthTest = on;
        }
        on ? emscripten_glEnable(cap) : emscripten_glDisable(cap);
    }
}

void glEnable(GLenum cap) {
    setCapability(cap, true);
}

void glDisable(GLenum cap) {
    setCapability(cap, false);
}

GLboolean glIsEnabled(GLenum cap) {
    if (bool* kept = keptSwitch(cap)) {
        return *kept;
    }
    return cap == GL_DEPTH_TEST && fixedState.depthTest;
}

void glLightfv(GLenum lightName, GLenum name, const GLfloat* value) {
    if (lightName < GL_LIGHT0 || lightName >= GL_LIGHT0 + FIXED_MAX_LIGHTS) {
        return;
    }
    flushBatch();
    FixedLight& light = fixedState.lights[lightName - GL_LIGHT0];
    switch (name) {
    case GL_POSITION:
        transformPoint(fixedState.modelview.back(), value, light.position);
        if (value[3] == 0.0f) { // a direction turns without moving
            const float origin[3] = {0, 0, 0};
            float base[3];
            transformPoint(fixedState.modelview.back(), origin, base);
            for (int k = 0; k < 3; k++) {
                light.position[k] -= base[k];
            }
        } else {
            for (int k = 0; k < 3; k++) {
                light.position[k] += (value[3] - 1.0f) * fixedState.modelview.back().m[12 + k];
            }
        }
        light.position[3] = value[3];
        break;
    case GL_DIFFUSE:
        memcpy(light.diffuse, value, 4 * sizeof(float));
        break;
    case GL_SPECULAR:
        memcpy(light.specular, value, 4 * sizeof(float));
        break;
    case GL_AMBIENT:
        memcpy(light.ambient, value, 4 * sizeof(float));
        break;
    case GL_CONSTANT_ATTENUATION:
    case GL_LINEAR_ATTENUATION:
    case GL_QUADRATIC_ATTENUATION:
        light.attenuation[name - GL_CONSTANT_ATTENUATION] = value[0];
        break;
    default:
        break;
    }
}

void glLightf(GLenum light, GLenum name, GLfloat value) {
    glLightfv(light, name, &value);
}

void glMaterialfv(GLenum face, GLenum name, const GLfloat* value) {
    (void)face;
    flushBatch();
    FixedState& s = fixedState;
    float* target = name == GL_AMBIENT    ? s.materialAmbient
                    : name == GL_DIFFUSE  ? s.materialDiffuse
                    : name == GL_SPECULAR ? s.materialSpecular
                    : name == GL_EMISSION ? s.materialEmission
                                          : nullptr;
    if (target != nullptr) {
        memcpy(target, value, 4 * sizeof(float));
    } else if (name == GL_AMBIENT_AND_DIFFUSE) {
        memcpy(s.materialAmbient, value, 4 * sizeof(float));
        memcpy(s.materialDiffuse, value, 4 * sizeof(float));
    } else if (name == GL_SHININESS) {
        s.shininess = value[0];
    }
}

void glMaterialf(GLenum face, GLenum name, GLfloat value) {
    glMaterialfv(face, name, &value);
}

void glFogfv(GLenum name, const GLfloat* value) {
    flushBatch();
    FixedState& s = fixedState;
    switch (name) {
    case GL_FOG_MODE:
        s.fogMode = GLint(value[0]);
        break;
    case GL_FOG_DENSITY:
        s.fogDensity = value[0];
        break;
    case GL_FOG_START:
        s.fogStart = value[0];
        break;
    case GL_FOG_END:
        s.fogEnd = value[0];
        break;
    case GL_FOG_COLOR:
        memcpy(s.fogColor, value, 4 * sizeof(float));
        break;
    default:
        break;
    }
}

void glFogf(GLenum name, GLfloat value) {
    glFogfv(name, &value);
}

void glFogi(GLenum name, GLint value) {
    const float v = float(value);
    glFogfv(name, &v);
}

void glShadeModel(GLenum mode) {
    flushBatch();
    fixedState.flat = mode == GL_FLAT;
}

void glPolygonMode(GLenum face, GLenum mode) {
    (void)face;
    flushBatch();
    fixedState.polygonMode = mode;
}

void glPointSize(GLfloat size) {
    flushBatch();
    fixedState.pointSize = size;
}

void glHint(GLenum target, GLenum mode) {
    (void)target, (void)mode; // the fog and perspective hints have no WebGL counterpart
}
}
