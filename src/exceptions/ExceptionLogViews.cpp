#include "exceptions/ExceptionLogViews.h"

ExceptionLogViews& ExceptionLogViews::shared()
{
    static ExceptionLogViews views;
    return views;
}

void ExceptionLogViews::clear()
{
    *this = ExceptionLogViews{};
}
