#pragma once

#include <QWidget>

class QCheckBox;
class QComboBox;

namespace tw {

class LiveArea;
class LiveCaret;

// The live view's choices, in a row of the dock: "Follow Caret" and the
// width the page is laid out at ("Fit", or a screen's width in pixels,
// scaled to the dock so the page's media queries act as on that screen).
// Both are kept in the settings, group [Editor]: `liveFollowCaret` and
// `liveWidth`; anything unreadable there gives the default (on, Fit).
class LiveViewOptions : public QWidget {
    Q_OBJECT
public:
    // The widths offered, Fit (0) first.
    static constexpr int kWidths[] = {0, 1280, 768, 375};
    // The engine scales pages by no less than this.
    static constexpr double kLeastZoom = 0.25;

    LiveViewOptions(LiveCaret &caret, QWidget *parent = nullptr);

    // The view, once the engine runs.
    void setArea(LiveArea *area);
    // The width chosen; 0 for Fit.
    int chosenWidth() const;
    void chooseWidth(int width);

    static bool storedFollow();
    static int storedWidth();

public slots:
    // Scales the page to the view's width; also after each load, which may
    // start a new page process.
    void fit();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    LiveCaret &m_caret;
    LiveArea *m_area = nullptr;
    QCheckBox *m_follow;
    QComboBox *m_width;
};

} // namespace tw
