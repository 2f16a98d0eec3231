#pragma once

#include "core/catalogue.h"
#include "ui/window.h"

#include <QTimer>

#include <array>
#include <bitset>

class QLabel;
class QScrollArea;

namespace brevant {

class ContentsEntry;
class Questionnaire;

// "Contents": the ten pages, their section headings and the 27
// requirements in catalogue order, each with its word count and its state,
// and how many are complete. One window, beside the pages, made on first
// use; choosing an entry shows its requirement's page (WindowHost::showItem).
// It follows what is typed: an entry is brought up to date a moment after
// its requirement changed, not at every key, and only while it is shown.
class ContentsWindow : public Window {
    Q_OBJECT
public:
    ContentsWindow(WindowHost &host, Questionnaire &questionnaire);

    ContentsEntry *entry(int item) const { return m_entries.at(item - 1); }
    // "12 of 27 requirements complete"
    QString summary() const;
    // The entry of item takes the keyboard and is scrolled into view.
    void setCurrentItem(int item);
    // Shows the page of requirement item, as choosing its entry does.
    void choose(int item);

    // The words a requirement's entry shows and says for its state:
    // "complete", "no response yet", the answer where it reads other than
    // "Yes" (answer reads "No"), or both of the last two.
    static QString stateWords(const Questionnaire &questionnaire, int item);
    // Its review: "approved", "in review, 2 open comments".
    static QString reviewWords(const Questionnaire &questionnaire, int item);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void refresh(int item);
    void refreshPending();
    void moveFrom(int item, int step);

    Questionnaire &m_questionnaire;
    QLabel *m_summary;
    QScrollArea *m_scroll;
    std::array<ContentsEntry *, kItemCount> m_entries{};
    std::bitset<kItemCount> m_pending;
    QTimer m_refresh;
};

} // namespace brevant
