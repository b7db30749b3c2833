// The desktop's display watch: an X I/O error handler that ends the player with a message
// instead of Xlib's abort. App side; the desktop build only.
#include <X11/Xlib.h>
#include <cstdio>
#include <unistd.h>

#include "app/display_watch.h"

// Xlib's I/O error handler: the server went away. One message, then the process ends
// without running the exit handlers, which would talk to the lost server again.
static int onDisplayLost(Display* display) {
    (void)display;
    fflush(stdout);
    fputs("Affichage perdu : le serveur X ne repond plus, fin du spectacle\n", stderr);
    _exit(1);
}

void watchDisplayLoss() {
    XSetIOErrorHandler(onDisplayLost);
}
