#pragma once
// The quarantine allocator (quarantine_allocator.cpp, linked into a program
// in place of its operator new and delete): freed blocks up to 64 KiB are
// poisoned and held back rather than reused.

// Freed blocks found written to since they were freed, in the whole run so
// far: those given back to the C library already and those held back now.
long FreedBlocksWrittenTo();
