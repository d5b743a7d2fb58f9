#pragma once

// Makes every memory block of 4 MB or more a mapping of its own (on the GNU C library;
// elsewhere it does nothing). Call it first thing in main.
//
// Why: the pane's document grows its text and its index of pieces by reallocating them as a
// large answer goes in. A block that sits inside the allocator's shared heap is moved by
// copying it, whole, into memory never touched before, and touching fresh memory page by page
// is slow (on some virtual machines about 3 ms a megabyte): the window then froze for 45 ms
// at a time while a 10 MB answer went in. A block that is a mapping of its own grows where it
// is, and its new pages are touched a piece at a time. The library's default moves the limit
// up after the first large block is freed, which is what put the document's blocks in the
// heap; here the limit stays fixed.
void GiveLargeBuffersTheirOwnMappings();
