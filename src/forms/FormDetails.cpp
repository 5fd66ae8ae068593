#include "forms/FormDetails.h"

void InitDetails(TFormDetails& details, std::uint8_t mode, const QVariant& parent, const QVariant& current)
{
    details = TFormDetails{};
    details.Mode = mode;
    details.Parent = parent;
    details.Current = current;
}
