#pragma once

#include <QImage>

// Tints the grey pixels of a picture with the window colour so digit and connection pictures blend
// into the window; coloured pixels keep their colour. colour is red + green*256 + blue*65536.
QImage tintGreys(const QImage& source, quint32 colour);

// Loads a picture as a 24-bit image and tints it; a null image when the resource is missing.
QImage loadTinted(const QString& resource, quint32 colour);
