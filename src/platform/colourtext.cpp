#include "platform/colourtext.h"

#include <QApplication>
#include <QPainter>
#include <QStyle>

#include "platform/text.h"

namespace platform {
namespace {

common::Rgb ToRgb(const QColor& colour) {
  const QColor rgb = colour.toRgb();
  return {static_cast<std::uint8_t>(rgb.red()), static_cast<std::uint8_t>(rgb.green()),
          static_cast<std::uint8_t>(rgb.blue())};
}

QString HtmlText(std::string_view text) { return ToUnicode(text).toHtmlEscaped(); }

}  // namespace

QColor ShownColour(int index, const QColor& background) {
  const common::Rgb rgb = common::ReadableColour(index, ToRgb(background));
  return {rgb.r, rgb.g, rgb.b};
}

QString ColouredHtml(std::string_view text, common::ColorCodes codes, const QColor& background) {
  // Spaces and tabs are kept as they came.
  QString html = QStringLiteral("<span style=\"white-space:pre\">");
  for (const common::ColourRun& run : common::ColourRuns(text, codes)) {
    if (run.colour == common::kDefaultColour) {
      html += HtmlText(run.text);
    } else {
      html += QStringLiteral("<span style=\"color:%1\">").arg(ShownColour(run.colour, background).name()) +
              HtmlText(run.text) + QStringLiteral("</span>");
    }
  }
  return html + QStringLiteral("</span>");
}

ColourTextDelegate::ColourTextDelegate(common::ColorCodes codes, QObject* parent)
    : QStyledItemDelegate(parent), codes_(codes) {}

void ColourTextDelegate::paint(QPainter* painter, const QStyleOptionViewItem& option, const QModelIndex& index) const {
  const QVariant coloured = index.data(kColouredTextRole);
  if (!coloured.isValid()) {
    QStyledItemDelegate::paint(painter, option, index);
    return;
  }
  QStyleOptionViewItem opt = option;
  initStyleOption(&opt, index);
  const QByteArray raw = coloured.toByteArray();
  const std::string_view text(raw.constData(), static_cast<std::size_t>(raw.size()));
  const QVariant cellCodes = index.data(kColourCodesRole);
  const common::ColorCodes codes = cellCodes.isValid() ? static_cast<common::ColorCodes>(cellCodes.toInt()) : codes_;
  const QWidget* widget = opt.widget;
  QStyle* style = widget ? widget->style() : QApplication::style();
  // Selected rows keep the selection's colours, so that they read as selected.
  if (showCodes_ || (opt.state & QStyle::State_Selected)) {
    QString shown;
    if (showCodes_) {
      shown = ToUnicode(text);
    } else {
      for (const common::ColourRun& run : common::ColourRuns(text, codes)) shown += ToUnicode(run.text);
    }
    opt.text = shown;
    style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);
    return;
  }
  opt.text.clear();
  style->drawControl(QStyle::CE_ItemViewItem, &opt, painter, widget);

  const QRect area = style->subElementRect(QStyle::SE_ItemViewItemText, &opt, widget);
  const int margin = style->pixelMetric(QStyle::PM_FocusFrameHMargin, nullptr, widget) + 1;
  QRect place = area.adjusted(margin, 0, -margin, 0);
  const QColor background = opt.backgroundBrush.style() != Qt::NoBrush ? opt.backgroundBrush.color()
                                                                        : opt.palette.color(QPalette::Base);
  const QColor plain = opt.palette.color(QPalette::Text);
  painter->save();
  painter->setClipRect(area);
  painter->setFont(opt.font);
  const QFontMetrics metrics(opt.font);
  for (const common::ColourRun& run : common::ColourRuns(text, codes)) {
    const QString part = ToUnicode(run.text);
    painter->setPen(run.colour == common::kDefaultColour ? plain : ShownColour(run.colour, background));
    painter->drawText(place, static_cast<int>(Qt::AlignLeft | Qt::AlignVCenter) | Qt::TextSingleLine, part);
    place.setLeft(place.left() + metrics.horizontalAdvance(part));
    if (place.width() <= 0) break;
  }
  painter->restore();
}

}  // namespace platform
