#include "framework/wx/wx_icons.h"

#include <wx/bitmap.h>
#include <wx/icon.h>
#include <wx/image.h>

#include "framework/resources.h"

namespace afx::wxui {
namespace {
wxIcon IconFromImage(const IconImage& source) {
  wxImage image(source.size, source.size);
  image.InitAlpha();
  for (int y = 0; y < source.size; ++y) {
    for (int x = 0; x < source.size; ++x) {
      const std::uint32_t argb = source.pixels[static_cast<size_t>(y) * source.size + x];
      image.SetRGB(x, y, (argb >> 16) & 0xFF, (argb >> 8) & 0xFF, argb & 0xFF);
      image.SetAlpha(x, y, (argb >> 24) & 0xFF);
    }
  }
  wxIcon icon;
  icon.CopyFromBitmap(wxBitmap(image));
  return icon;
}
}  // namespace

wxIconBundle IconBundleOf(HICON big, HICON small) {
  wxIconBundle bundle;
  for (HICON icon : {big, small}) {
    if (!icon) continue;
    for (const IconImage& image : icon->images) {
      const bool valid = image.size > 0 &&
                         image.pixels.size() == static_cast<size_t>(image.size) * image.size;
      if (valid && !bundle.GetIconOfExactSize(wxSize(image.size, image.size)).IsOk())
        bundle.AddIcon(IconFromImage(image));
    }
  }
  return bundle;
}

}  // namespace afx::wxui
