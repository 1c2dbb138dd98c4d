#pragma once

#include "pageprinter/MemoryPrinter.h"
#include "pageprinter/PagePrnt.h"

#include <gtest/gtest.h>

#include <memory>
#include <vector>

namespace sapidoro::test {

// A letter sheet (8.5 x 11 inches) with quarter-inch unprintable strips at `dpi`.
inline TMemoryPrinter::Sheet LetterAt(int dpi) {
    return {dpi, dpi, dpi * 17 / 2, dpi * 11, dpi / 4, dpi / 4};
}

// Installs a printer object for the lifetime of a test and puts the previous one back.
class ScopedPrinter {
public:
    explicit ScopedPrinter(std::unique_ptr<TMemoryPrinter> printer) : m_printer(printer.get()) {
        m_previous = SetPrinter(std::move(printer));
    }
    ~ScopedPrinter() { SetPrinter(std::move(m_previous)); }
    TMemoryPrinter &operator*() const { return *m_printer; }
    TMemoryPrinter *operator->() const { return m_printer; }

private:
    TMemoryPrinter *m_printer;
    std::unique_ptr<PrinterDevice> m_previous;
};

// The text operations of a page, in drawing order.
inline std::vector<PageOp> TextsOf(const PagePicture &page) {
    std::vector<PageOp> texts;
    for (const PageOp &op : page.Ops())
        if (op.kind == PageOp::Text) texts.push_back(op);
    return texts;
}

inline std::vector<PageOp> LinesOf(const PagePicture &page) {
    std::vector<PageOp> lines;
    for (const PageOp &op : page.Ops())
        if (op.kind == PageOp::Line) lines.push_back(op);
    return lines;
}

// A page printer on a letter printer at the parameter's resolution, with one-inch margins.
class PagePrinterAt : public ::testing::TestWithParam<int> {
protected:
    PagePrinterAt() : printer(std::make_unique<TMemoryPrinter>(LetterAt(GetParam()))) {
        pp = std::make_unique<TPagePrinter>();
        pp->setMargins(1, 1, 1, 1);
    }
    int dpi() const { return GetParam(); }
    // Dots of `inches` at the test resolution.
    int dots(double inches) const { return static_cast<int>(inches * GetParam()); }
    int charWidth() const { return pp->PageCanvas().TextWidth(u"x"); }

    ScopedPrinter printer;
    std::unique_ptr<TPagePrinter> pp;
};

}  // namespace sapidoro::test
