#pragma once

// Designed positions and sizes are in twips (1/1440 inch): 15 twips to a
// pixel at 96 logical DPI.
int twipsToPixels(int twips);
int pixelsToTwips(int pixels);
