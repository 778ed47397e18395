#include "platform/qt/qthotkeys.h"

#include <memory>

namespace {
// TODO(shortcuts): system-wide grabs on X11, window shortcuts elsewhere.
class NoHotKeys : public HotKeys {
public:
    bool registerHotKey(int, int, int) override { return false; }
};
} // namespace

std::unique_ptr<HotKeys> createHotKeys(QWidget *)
{
    return std::make_unique<NoHotKeys>();
}
