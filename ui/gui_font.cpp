#include "ui/gui_font.h"

#include <map>
#include <mutex>
#include <tuple>

#include "base/handles.h"
#include "ui/dpi_scaling.h"

namespace {

HFONT StockGuiFont()
{
    return static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
}

struct FontKey {
    UINT dpi;
    double factor;
    int weight;
    bool operator<(const FontKey& other) const
    {
        return std::tie(dpi, factor, weight) < std::tie(other.dpi, other.factor, other.weight);
    }
};

}  // namespace

HFONT ScaledGuiFont(UINT dpi, double factor, int weight)
{
    // The stock font is made at the system's DPI; its own LOGFONT keeps the face and weight.
    LOGFONTW logical{};
    GetObjectW(StockGuiFont(), sizeof logical, &logical);
    const bool plain = factor == 1.0 && weight == logical.lfWeight;
    if (plain && dpi == SystemDpi())
        return StockGuiFont();

    static std::mutex lock;
    static std::map<FontKey, UniqueFont> fonts;
    const std::lock_guard<std::mutex> held(lock);
    UniqueFont& font = fonts[FontKey{dpi, factor, weight}];
    if (!font) {
        logical.lfHeight = static_cast<LONG>(SystemToDpi(logical.lfHeight, dpi) * factor);
        logical.lfWidth = static_cast<LONG>(SystemToDpi(logical.lfWidth, dpi) * factor);
        logical.lfWeight = weight;
        font.reset(CreateFontIndirectW(&logical));
    }
    return font ? font.get() : StockGuiFont();
}

HFONT GuiFont(UINT dpi)
{
    LOGFONTW logical{};
    GetObjectW(StockGuiFont(), sizeof logical, &logical);
    return ScaledGuiFont(dpi, 1.0, logical.lfWeight);
}
