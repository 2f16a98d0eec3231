#pragma once

#include "ui/window.h"

class QLabel;

namespace brevant {

// "Help!": the one shared window that shows an item's example response.
class ExampleWindow : public Window {
    Q_OBJECT
public:
    explicit ExampleWindow(WindowHost &host);
    void setExample(const QString &text);
    QString text() const;

protected:

private:
    QLabel *m_ex;
};

} // namespace brevant
