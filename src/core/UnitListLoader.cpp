#include "core/UnitListLoader.h"

#include "directory/AddressListFile.h"
#include "directory/UnitAddressList.h"
#include "settings/Settings.h"

UnitListLoader::UnitListLoader(UnitAddressList& units, const Settings& settings)
    : m_units(units), m_settings(settings)
{}

QString UnitListLoader::path() const
{
    return AddressListPath(m_settings.ipFileName());
}

bool UnitListLoader::load()
{
    return LoadAddressList(path(), m_units) == AddressListLoad::Loaded;
}
