// The crash tests' seam: one hook, none by default.
#include "common/durable_steps.h"

namespace aerolinker {
namespace {

DurableStepHook g_hook = nullptr;

}  // namespace

void SetDurableStepHook(DurableStepHook hook) {
    g_hook = hook;
}

void NoteDurableStep(const std::string& path) {
    if (g_hook != nullptr) {
        g_hook(path);
    }
}

}  // namespace aerolinker
