// Icon 128: a blue rounded tile with a white download arrow over an orange
// card, drawn at each size so that small images stay sharp.
#include <algorithm>
#include <cmath>

#include "res/icon.h"

namespace {
std::uint32_t Blend(std::uint32_t colour, double coverage) {
  const auto alpha = static_cast<std::uint32_t>(std::clamp(coverage, 0.0, 1.0) * 255.0 + 0.5);
  return (alpha << 24) | (colour & 0xFFFFFF);
}

// Coverage of a pixel centre by a rounded rectangle, in units of the icon.
double RoundedRect(double x, double y, double x0, double y0, double x1, double y1, double r,
                   double pixel) {
  const double cx = std::clamp(x, x0 + r, x1 - r), cy = std::clamp(y, y0 + r, y1 - r);
  const double d = std::hypot(x - cx, y - cy) - r;
  return std::clamp(0.5 - d / pixel, 0.0, 1.0);
}

bool InArrow(double x, double y) {
  const bool shaft = x >= 0.43 && x <= 0.57 && y >= 0.18 && y <= 0.50;
  const bool head = y >= 0.48 && y <= 0.68 && std::fabs(x - 0.5) <= (0.68 - y) * 1.1;
  return shaft || head;
}

IconImage Render(int size) {
  IconImage image{size, std::vector<std::uint32_t>(static_cast<size_t>(size) * size)};
  const double pixel = 1.0 / size;
  for (int py = 0; py < size; ++py) {
    for (int px = 0; px < size; ++px) {
      const double x = (px + 0.5) * pixel, y = (py + 0.5) * pixel;
      std::uint32_t colour = 0;
      const double tile = RoundedRect(x, y, 0.03, 0.03, 0.97, 0.97, 0.18, pixel);
      if (tile > 0) colour = Blend(0x1F5FA8, tile);
      if (RoundedRect(x, y, 0.22, 0.72, 0.78, 0.86, 0.04, pixel) > 0.5) colour = 0xFFF39C12;
      if (InArrow(x, y)) colour = 0xFFFFFFFF;
      image.pixels[static_cast<size_t>(py) * size + px] = colour;
    }
  }
  return image;
}
}  // namespace

std::vector<IconImage> RenderMainIcon() {
  return {Render(16), Render(24), Render(32), Render(48)};
}

std::vector<IconImage> RenderProgramFileIcon() {
  std::vector<IconImage> images;
  for (int size : {16, 20, 24, 32, 40, 48, 64, 256}) images.push_back(Render(size));
  return images;
}
