#pragma once
// The pictures of the communicate window's section buttons, drawn rather than loaded so that they follow
// the toolkit's look (the settings window's tabs: a rounded graphite field with a light symbol; the chosen
// one in the accent colour) at any screen scale. Each section has its own symbol above its short name.
#include "communicate/CCommunicateSections.h"

#include <QImage>
#include <QSize>
#include <QString>

class CCommunicateSectionArt {
public:
    enum class Look { Normal, Hover, Selected, Disabled };

    // The button picture of a section, `size` in device-independent pixels, drawn at `scale`.
    static QImage Render(CCommunicateSections::Section section, Look look, const QSize& size,
                         const QString& label, qreal scale = 2.0);
};
