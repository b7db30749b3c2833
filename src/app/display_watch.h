// The toolkit's one platform extra: what happens when the display goes away under the player.
// App side; each platform's build brings its own definition.
#pragma once

// Makes a lost display end the player with its message instead of the toolkit's abort.
void watchDisplayLoss();
