#pragma once

#include <QString>

class Settings;
struct ExceptionLogViews;

// The lists the log viewer shows, built from the loaded records: every exception of every record
// (the full list), and one entry per unit and event text with its latest time.
class ExceptionEventLists
{
public:
    explicit ExceptionEventLists(const Settings& settings);
    ExceptionEventLists(const Settings& settings, ExceptionLogViews& views);

    // One entry per code of each record, in record and code order.
    void GetListLogF();
    void GetListLogF1() { GetListLogF(); }
    // The full list without repeats of the same address and event text: each kept in the place
    // of its first appearance, with the latest time. Builds the full list first if needed.
    void GetListLog();
    // The report text of the full list or of the de-duplicated list (built first if needed).
    QString GetReport(bool full);

private:
    const Settings& m_settings;
    ExceptionLogViews& m_views;
};
