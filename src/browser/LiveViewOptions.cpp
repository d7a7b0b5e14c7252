#include "browser/LiveViewOptions.h"

#include "browser/LiveArea.h"
#include "browser/LiveCaret.h"

#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QSettings>

#include <algorithm>
#include <cmath>

namespace tw {

namespace {

QSettings store()
{
    return QSettings(QStringLiteral("Tagwright"), QStringLiteral("Tagwright"));
}

constexpr const char *kFollowKey = "Editor/liveFollowCaret";
constexpr const char *kWidthKey = "Editor/liveWidth";

} // namespace

bool LiveViewOptions::storedFollow()
{
    // Only a written "false" turns it off: QVariant reads any other word as true.
    return store().value(QLatin1String(kFollowKey)).toString() != QLatin1String("false");
}

int LiveViewOptions::storedWidth()
{
    bool ok = false;
    const int width = store().value(QLatin1String(kWidthKey)).toString().trimmed().toInt(&ok);
    return ok && std::find(std::begin(kWidths), std::end(kWidths), width) != std::end(kWidths) ? width : 0;
}

LiveViewOptions::LiveViewOptions(LiveCaret &caret, QWidget *parent) : QWidget(parent), m_caret(caret)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 2, 4, 0);
    m_follow = new QCheckBox(QStringLiteral("Follow &Caret"), this);
    m_follow->setObjectName(QStringLiteral("chkLiveFollowCaret"));
    m_follow->setAccessibleName(QStringLiteral("Follow Caret"));
    m_follow->setChecked(storedFollow());
    m_caret.setFollow(m_follow->isChecked());
    connect(m_follow, &QCheckBox::toggled, this, [this](bool on) {
        store().setValue(QLatin1String(kFollowKey), on);
        m_caret.setFollow(on);
    });
    auto *label = new QLabel(QStringLiteral("&Width:"), this);
    m_width = new QComboBox(this);
    m_width->setObjectName(QStringLiteral("cboLiveWidth"));
    m_width->setAccessibleName(QStringLiteral("Width"));
    label->setBuddy(m_width);
    for (int width : kWidths)
        m_width->addItem(width ? QStringLiteral("%1 px").arg(width) : QStringLiteral("Fit"), width);
    m_width->setCurrentIndex(std::max(0, m_width->findData(storedWidth())));
    connect(m_width, &QComboBox::currentIndexChanged, this, [this] {
        store().setValue(QLatin1String(kWidthKey), chosenWidth());
        fit();
    });
    row->addWidget(m_follow);
    row->addStretch(1);
    row->addWidget(label);
    row->addWidget(m_width);
}

void LiveViewOptions::setArea(LiveArea *area)
{
    m_area = area;
    area->widget()->installEventFilter(this);
    fit();
}

int LiveViewOptions::chosenWidth() const
{
    return m_width->currentData().toInt();
}

void LiveViewOptions::chooseWidth(int width)
{
    m_width->setCurrentIndex(std::max(0, m_width->findData(width)));
}

void LiveViewOptions::fit()
{
    if (!m_area)
        return;
    QWidget *view = m_area->widget();
    const int chosen = chosenWidth();
    // Below the least zoom the page could not be laid out that wide: the
    // view keeps room for it instead.
    view->setMinimumWidth(chosen ? int(std::ceil(chosen * kLeastZoom)) : 0);
    const double zoom = chosen ? std::clamp(double(view->width()) / chosen, kLeastZoom, 5.0) : 1.0;
    if (!qFuzzyCompare(m_area->zoom(), zoom))
        m_area->setZoom(zoom);
}

bool LiveViewOptions::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && m_area && watched == m_area->widget())
        fit();
    return false;
}

} // namespace tw
