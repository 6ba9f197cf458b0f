#include "editctl/view_metrics.h"

#include "editctl/saturate.h"

int32_t TabStop(const ViewState& view) {
    return view.tabWidth < 1 ? 4 : view.tabWidth;
}

int32_t ShownGutter(const ViewState& view) {
    return view.showLineNumbers ? view.gutterWidth : 0;
}

int32_t ColumnsPerRow(const EditState& s) {
    if (!s.attached.window)
        return 1;
    const int64_t width =
        int64_t{s.view.clientWidth} - 2 * int64_t{s.view.margin} - ShownGutter(s.view);
    if (width < s.view.charWidth)
        return 1;
    return Saturate32(width / s.view.charWidth);
}

CellRules LineCellRules(const EditState& s) {
    return {TabStop(s.view), s.view.wordWrap ? ColumnsPerRow(s) : 0};
}

LineMetrics CurrentLineMetrics(const EditState& s) {
    LineMetrics metrics;
    metrics.columnsPerRow = s.view.wordWrap ? ColumnsPerRow(s) : 0;
    metrics.tabWidth = TabStop(s.view);
    metrics.charWidth = s.view.charWidth;
    return metrics;
}
