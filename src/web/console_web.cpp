// The console on the web: the page receives the player's bytes one by one and decodes them as
// Windows-1252 itself (shell.html), so the streams stay as they are. Web back end only.
#include "app/console.h"

void setUpConsole() {}
