// Planted: the core reaching for Qt Gui.
#include <QPainter>
