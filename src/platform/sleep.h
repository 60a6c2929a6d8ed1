#pragma once
namespace platform {
// Blocks the calling thread for the given number of milliseconds.
void Sleep(unsigned milliseconds);
}  // namespace platform
