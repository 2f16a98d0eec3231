#pragma once

#include "document/printsurface.h"

#include <QList>
#include <QString>

#include <memory>

namespace brevant::test {

// What a recording surface saw: every call in a compact log ("[text]" for
// printed text, "/" for a line end, "#" for a new page) and the finished
// lines with the style they ended in.
struct Recording {
    struct Line {
        QString text;
        bool bold = false;
        bool italic = false;
    };
    QString target;
    QString log;
    QList<Line> lines;
    int begun = 0;
    int ended = 0;
    bool boldAtEnd = false;
    bool italicAtEnd = false;
};

// A print surface with fixed measures: every character is one unit wide
// (a carriage return too), every line one unit high. It can be told to fail
// at its n-th output operation (begin counts as 0).
class RecordingSurface : public PrintSurface {
public:
    explicit RecordingSurface(std::shared_ptr<Recording> recording = std::make_shared<Recording>())
        : rec(std::move(recording)) {}

    std::shared_ptr<Recording> rec;
    qreal width = 10;
    qreal height = 1000;
    qreal x = 0;
    qreal y = 0;
    bool bold = false;
    bool italic = false;
    int failAt = -1;
    int operations = 0;

    bool begin() override { ++rec->begun; return step(); }
    qreal currentX() const override { return x; }
    qreal currentY() const override { return y; }
    qreal printableWidth() const override { return width; }
    qreal printableHeight() const override { return height; }
    qreal textWidth(QStringView text) const override { return text.size(); }
    qreal textHeight(QStringView) const override { return 1; }
    bool printText(QStringView text) override
    {
        if (!step())
            return false;
        rec->log += QLatin1Char('[') + text.toString() + QLatin1Char(']');
        m_line += text.toString();
        x += text.size();
        return true;
    }
    bool endLine() override
    {
        if (!step())
            return false;
        rec->log += QLatin1Char('/');
        rec->lines.append({m_line, bold, italic});
        m_line.clear();
        x = 0;
        y += 1;
        return true;
    }
    bool newPage() override
    {
        if (!step())
            return false;
        rec->log += QLatin1Char('#');
        x = y = 0;
        return true;
    }
    void setBold(bool on) override { bold = on; }
    void setItalic(bool on) override { italic = on; }
    bool endDocument() override
    {
        if (!step())
            return false;
        ++rec->ended;
        rec->boldAtEnd = bold;
        rec->italicAtEnd = italic;
        return true;
    }
    QString errorString() const override { return QStringLiteral("The paper ran out."); }

private:
    bool step() { return failAt < 0 || operations++ < failAt; }
    QString m_line;
};

} // namespace brevant::test
