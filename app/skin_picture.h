#pragma once
// Skin pictures: found without regard to letter case, JPEG through libjpeg.
#include <QImage>
#include <QString>

namespace app {

// The existing file for folder + name, matching every part of the name without
// regard to letter case when the exact spelling is absent; empty when none.
QString FindSkinFile(const QString& folder, const QString& name);

// Decodes a JPEG file with libjpeg; a null image for anything it cannot read.
QImage DecodeJpegFile(const QString& path);

// A skin picture by full path: JPEG by libjpeg, everything else by Qt's readers.
QImage ReadSkinPicture(const QString& path);

}  // namespace app
