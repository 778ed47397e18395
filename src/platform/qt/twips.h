// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QtGlobal>
#include <cmath>

// Twips (1/1440 inch) to pixels at the screen's logical DPI: 15 twips a pixel at 96 DPI.
class Twips {
public:
    static void setDpi(double dpi) { dpi_ = dpi > 0 ? dpi : 96.0; }
    static double dpi() { return dpi_; }
    static int toPixels(double twips) { return static_cast<int>(std::lround(twips * dpi_ / 1440.0)); }
    static double fromPixels(int pixels) { return pixels * 1440.0 / dpi_; }

private:
    static inline double dpi_ = 96.0;
};
