// Start and end of the library.
#include "backend/event_loop.h"
#include "backend/graphics.h"
#include "class_registry.h"
#include "fonts.h"
#include "handle_table.h"
#include "marshal.h"
#include "window.h"

namespace exdui {
void DestroyAllEasings();

}  // namespace exdui

using namespace exdui;

extern "C" {

EXDUI_API int Ex_Init(void* instance, uint32_t flags, intptr_t cursor, const char16_t* className,
                      const void* theme, size_t themeLength, const void* i18n, size_t i18nLength) {
    // The theme package and the rest are accepted as they come and not read.
    (void)instance, (void)flags, (void)cursor, (void)className, (void)theme, (void)themeLength;
    (void)i18n, (void)i18nLength;
    try {
        if (marshal::IsUiThread() && marshal::IsRunning()) {
            return 1;
        }
        if (!backend::StartApplication()) {
            return 0;
        }
        backend::GetGraphics().SetSystemFont(*DefaultFont());
        marshal::Start();
        RegisterBuiltinClasses();
        return 1;
    } catch (...) {
        return 0;
    }
}

EXDUI_API int Ex_UnInit(void) {
    if (!marshal::IsUiThread()) {
        return 0;
    }
    try {
        marshal::BeginShutdown();
        for (Window* w : AllWindows()) {
            w->Destroy();
        }
        DestroyAllEasings();
        backend::DeleteDeferredObjects();
        ClearClasses();
        marshal::Stop();
        handles::Clear();
        backend::EndApplication();
        return 1;
    } catch (...) {
        return 0;
    }
}

}  // extern "C"
