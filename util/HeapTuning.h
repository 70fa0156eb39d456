#pragma once

namespace lumora
{

// Lets the C library keep freed memory for the next reply instead of handing it back to the system at once. A
// page reply needs a few megabytes for a moment (the text, its UTF-8 copy inside the XML reader, the rows); given
// back and asked for again, every page of it faults in anew, which on a virtual machine costs more than the parse.
// Called once at program start, before any other thread exists.
void KeepFreedHeapForReuse();

} // namespace lumora
