#include "platform/metafile/Mapping.h"

#include <algorithm>
#include <cmath>

namespace platform::wmf {

namespace {

// Device coordinates stay well inside int range so the raster's arithmetic cannot overflow.
constexpr double kLimit = 1 << 22;

int Clamp(double v) { return static_cast<int>(std::lround(std::clamp(v, -kLimit, kLimit))); }

double FixedScale(int mode) {
  switch (mode) {
    case kLoMetric: return kDeviceDpi / 254.0;
    case kHiMetric: return kDeviceDpi / 2540.0;
    case kLoEnglish: return kDeviceDpi / 100.0;
    case kHiEnglish: return kDeviceDpi / 1000.0;
    case kTwips: return kDeviceDpi / 1440.0;
    default: return 1.0;
  }
}

}  // namespace

void Mapping::setMode(int mode) {
  if (mode >= kText && mode <= kAnisotropic) mode_ = mode;
}

// Extents of zero are refused, as they would make every coordinate infinite.
void Mapping::setWindowExt(int x, int y) {
  if (x != 0 && y != 0) wex_ = x, wey_ = y;
}

void Mapping::setViewportExt(int x, int y) {
  if (x != 0 && y != 0) vex_ = x, vey_ = y;
}

void Mapping::scaleWindowExt(int xNum, int xDenom, int yNum, int yDenom) {
  if (xDenom == 0 || yDenom == 0) return;
  const int64_t x = wex_ * xNum / xDenom, y = wey_ * yNum / yDenom;
  if (x != 0 && y != 0 && std::llabs(x) < (int64_t{1} << 31) && std::llabs(y) < (int64_t{1} << 31))
    wex_ = x, wey_ = y;
}

void Mapping::scaleViewportExt(int xNum, int xDenom, int yNum, int yDenom) {
  if (xDenom == 0 || yDenom == 0) return;
  const int64_t x = vex_ * xNum / xDenom, y = vey_ * yNum / yDenom;
  if (x != 0 && y != 0 && std::llabs(x) < (int64_t{1} << 31) && std::llabs(y) < (int64_t{1} << 31))
    vex_ = x, vey_ = y;
}

double Mapping::scaleX() const {
  if (mode_ == kText) return 1.0;
  if (mode_ < kIsotropic) return FixedScale(mode_);
  const double sx = static_cast<double>(vex_) / wex_;
  if (mode_ == kAnisotropic) return sx;
  const double sy = static_cast<double>(vey_) / wey_;
  return std::copysign(std::min(std::fabs(sx), std::fabs(sy)), sx);
}

double Mapping::scaleY() const {
  if (mode_ == kText) return 1.0;
  if (mode_ < kIsotropic) return -FixedScale(mode_);
  const double sy = static_cast<double>(vey_) / wey_;
  if (mode_ == kAnisotropic) return sy;
  const double sx = static_cast<double>(vex_) / wex_;
  return std::copysign(std::min(std::fabs(sx), std::fabs(sy)), sy);
}

int Mapping::x(int logicalX) const { return Clamp((logicalX - wox_) * scaleX() + vox_); }
int Mapping::y(int logicalY) const { return Clamp((logicalY - woy_) * scaleY() + voy_); }

Rect Mapping::rect(int left, int top, int right, int bottom) const {
  return Rect::Normalized(x(left), y(top), x(right), y(bottom));
}

int Mapping::width(int logical) const { return Clamp(std::fabs(logical * scaleX())); }
int Mapping::height(int logical) const { return Clamp(std::fabs(logical * scaleY())); }

}  // namespace platform::wmf
