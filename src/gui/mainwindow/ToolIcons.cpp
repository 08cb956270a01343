// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/ToolIcons.h"

#include <QApplication>
#include <QPainter>
#include <QPixmap>
#include <QStyle>

namespace quelvo {

namespace {
constexpr int kSize = 16;

QIcon Drawn(void (*draw)(QPainter&)) {
  QPixmap pixmap(kSize, kSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  p.setPen(QPen(QColor(40, 40, 40), 1.2));
  draw(p);
  p.end();
  return QIcon(pixmap);
}

void DrawCut(QPainter& p) {
  p.drawEllipse(QRectF(2, 10, 4, 4));
  p.drawEllipse(QRectF(10, 10, 4, 4));
  p.drawLine(QPointF(5, 10), QPointF(11, 1));
  p.drawLine(QPointF(11, 10), QPointF(5, 1));
}

void DrawCopy(QPainter& p) {
  p.setBrush(Qt::white);
  p.drawRect(QRectF(1.5, 1.5, 8, 10));
  p.drawRect(QRectF(6.5, 4.5, 8, 10));
}

void DrawPaste(QPainter& p) {
  p.setBrush(QColor(200, 160, 90));
  p.drawRect(QRectF(2.5, 2.5, 10, 12));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(6.5, 6.5, 8, 8.5));
  p.setBrush(QColor(90, 90, 90));
  p.drawRect(QRectF(5, 1, 5, 3));
}

void DrawFind(QPainter& p) {
  p.setPen(QPen(QColor(40, 40, 40), 1.8));
  p.drawEllipse(QRectF(2, 2, 8, 8));
  p.drawLine(QPointF(9, 9), QPointF(14, 14));
}

void DrawPrint(QPainter& p) {
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 1.5, 7, 5));
  p.setBrush(QColor(170, 170, 170));
  p.drawRect(QRectF(1.5, 6.5, 13, 6));
  p.setBrush(Qt::white);
  p.drawRect(QRectF(4.5, 10.5, 7, 4));
}

QIcon Standard(QStyle::StandardPixmap which) { return QApplication::style()->standardIcon(which); }
}  // namespace

QIcon ToolIcon(ToolPicture picture) {
  switch (picture) {
    case ToolPicture::New: return Standard(QStyle::SP_FileIcon);
    case ToolPicture::Open: return Standard(QStyle::SP_DirOpenIcon);
    case ToolPicture::Save: return Standard(QStyle::SP_DialogSaveButton);
    case ToolPicture::Cut: return Drawn(DrawCut);
    case ToolPicture::Copy: return Drawn(DrawCopy);
    case ToolPicture::Paste: return Drawn(DrawPaste);
    case ToolPicture::Undo: return Standard(QStyle::SP_ArrowBack);
    case ToolPicture::Find: return Drawn(DrawFind);
    case ToolPicture::Print: return Drawn(DrawPrint);
    case ToolPicture::Receive: return Standard(QStyle::SP_ArrowDown);
    case ToolPicture::Send: return Standard(QStyle::SP_ArrowUp);
    case ToolPicture::Repeat: return Standard(QStyle::SP_BrowserReload);
    case ToolPicture::Setting: return Standard(QStyle::SP_FileDialogDetailedView);
    case ToolPicture::Stop: return Standard(QStyle::SP_BrowserStop);
  }
  return {};
}

}  // namespace quelvo
