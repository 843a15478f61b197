#include "Web.h"

#include "Fenetres_Web.h"

void Installer_Fenetres_Web()
{
}
