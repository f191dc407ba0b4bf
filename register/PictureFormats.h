#pragma once

#include <QString>

// The picture formats this machine reads (Qt's image plugins: PNG, JPEG, BMP and GIF always,
// WebP and TIFF where qt6-image-formats-plugins is installed), as a file chooser's filter.
namespace PictureFormats {

// "Image Files (…)" with every readable format's patterns, then one entry per format, each
// captioned by its own name.
QString openFilter();

} // namespace PictureFormats
