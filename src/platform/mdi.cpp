#include "platform/mdi.h"

namespace platform {
namespace {
MdiHost*& Host() {
  static MdiHost* host = nullptr;
  return host;
}
}  // namespace

MdiHost* Frame() { return Host(); }
void SetFrame(MdiHost* host) { Host() = host; }

}  // namespace platform
