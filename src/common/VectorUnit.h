#pragma once

namespace sapidoro {

// Marks the upper halves of the 256- and 512-bit vector registers as unused. Painting a
// widget can leave them in use; until they are cleared, the 128-bit vector code that runs
// next pays for it (zlib compressing a PDF page took a third longer). Does nothing on
// processors without those registers.
void ClearVectorUpperHalves();

}  // namespace sapidoro
