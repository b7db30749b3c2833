// The web build's display watch: the page's canvas can't go away under the player, so there is
// nothing to watch. Web back end only.
#include "app/display_watch.h"

void watchDisplayLoss() {}
