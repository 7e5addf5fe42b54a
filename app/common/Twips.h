#pragma once
// Window positions and sizes are given in twips (1/1440 inch). At 96 dpi
// 15 twips make one pixel; on other screens the pixel count scales with the
// primary screen's logical dpi.

namespace dz {

// Pixels for a length in twips, rounded to the nearest pixel.
int TwipsToPixels(int twips);

}  // namespace dz
