#pragma once

class QTabWidget;
class QWidget;

namespace sapidoro::resizer {

// The tab widget of which `control` is a page, or nullptr.
QTabWidget *PageControlOf(const QWidget *control);
// A page of a tab widget takes the bounds of the tab widget's current page; hidden pages
// thus follow the page on show. Other controls are left alone.
void TakeActivePageBounds(QWidget *control);
// A tab widget lays out its tab bar and pages now, so that the controls on its pages are
// placed in their new area; other controls lay out their own parts later, once.
void LayOutPagesNow(QWidget *control);

}  // namespace sapidoro::resizer
