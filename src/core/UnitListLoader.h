#pragma once

class Settings;
struct UnitAddressList;
class QString;

// Fills the cycle unit lists from the address list file that the setting "IPFileName" names.
class UnitListLoader
{
public:
    UnitListLoader(UnitAddressList& units, const Settings& settings);

    // The file in use: a relative name lies in the program's folder.
    QString path() const;
    // True when the file was read to its end. On failure the user has been told, and the
    // records read before it stay.
    bool load();

private:
    UnitAddressList& m_units;
    const Settings& m_settings;
};
