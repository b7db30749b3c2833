// JPEG check: one full decode with libjpeg, leaving it by longjmp at its first fatal error and
// stopping at the first sign that the data ended early.
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <jerror.h>

#include "scene/jpeg_check.h"

// Everything the decode touches after setjmp lives here, in the caller's frame, so that it is
// still well defined after the longjmp.
struct JpegCheck {
    jpeg_decompress_struct decoder;
    jpeg_error_mgr errors;
    jmp_buf leave;
    bool endedEarly; // libjpeg ran out of data: the image library's reader spins right there
};

// libjpeg's fatal errors: back to jpegCheckStream, never into the rest of libjpeg.
static void jpegCheckFatal(j_common_ptr decoder) {
    longjmp(((JpegCheck*)decoder->client_data)->leave, 1);
}

// Looks at every warning (libjpeg's own handler passes on only the first) and prints nothing.
static void jpegCheckMessage(j_common_ptr decoder, int level) {
    if (level < 0 && decoder->err->msg_code == JWRN_JPEG_EOF) {
        ((JpegCheck*)decoder->client_data)->endedEarly = true;
    }
}

static void jpegCheckSilent(j_common_ptr) {}

// The decode itself; no C++ object lives in this frame, so the longjmp skips no destructor.
static bool jpegCheckStream(JpegCheck& c, FILE* file, int maxSize) {
    c.decoder.err = jpeg_std_error(&c.errors);
    c.errors.error_exit = jpegCheckFatal;
    c.errors.emit_message = jpegCheckMessage;
    c.errors.output_message = jpegCheckSilent;
    c.decoder.client_data = &c;
    c.endedEarly = false;
    if (setjmp(c.leave) != 0) {
        jpeg_destroy_decompress(&c.decoder);
        return false;
    }
    jpeg_create_decompress(&c.decoder); // keeps err and client_data
    jpeg_stdio_src(&c.decoder, file);
    jpeg_read_header(&c.decoder, TRUE);
    const JDIMENSION side = (JDIMENSION)(maxSize > 0 ? maxSize : 0);
    bool fits = c.decoder.image_width >= 1 && c.decoder.image_height >= 1 &&
                c.decoder.image_width <= side && c.decoder.image_height <= side;
    if (!fits || c.endedEarly) {
        jpeg_destroy_decompress(&c.decoder);
        return false;
    }
    // Speed only: neither changes which errors the data raises.
    c.decoder.dct_method = JDCT_IFAST;
    c.decoder.do_fancy_upsampling = FALSE;
    jpeg_start_decompress(&c.decoder);
    JSAMPARRAY row = (*c.decoder.mem->alloc_sarray)(
        (j_common_ptr)&c.decoder, JPOOL_IMAGE,
        c.decoder.output_width * (JDIMENSION)c.decoder.output_components, 1);
    while (c.decoder.output_scanline < c.decoder.output_height && !c.endedEarly) {
        jpeg_read_scanlines(&c.decoder, row, 1);
    }
    // The image library reads on to the end marker too.
    if (!c.endedEarly) {
        jpeg_finish_decompress(&c.decoder);
    }
    bool whole = !c.endedEarly;
    jpeg_destroy_decompress(&c.decoder);
    return whole;
}

bool jpegCheckDecodes(const std::string& path, int maxSize) {
    FILE* file = fopen(path.c_str(), "rb");
    if (file == nullptr) {
        return false;
    }
    bool marked = fgetc(file) == 0xff && fgetc(file) == 0xd8;
    bool whole = false;
    if (marked && fseek(file, 0, SEEK_SET) == 0) {
        JpegCheck check;
        whole = jpegCheckStream(check, file, maxSize);
    }
    fclose(file);
    return whole;
}
