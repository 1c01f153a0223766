// Fontconfig reads its whole configuration (some sixty files) when a process first needs a font:
// about as long as drawing a whole picture. A program that knows early that it will draw text
// can have that read on another core while it does other work.
#pragma once

namespace isotri {

// Starts reading fontconfig's configuration on a thread of its own, once per process; later calls
// do nothing. Call it before anything uses fonts. Without a thread to spare, fonts are set up on
// first use as always.
void PreloadFonts();

// Waits for a read PreloadFonts started; returns at once when none was started or it is done.
// Every first use of fonts goes through it, so that the configuration is never read twice at the
// same time, and the program calls it before Qt's font database goes away.
void AwaitFontPreload();

}  // namespace isotri
