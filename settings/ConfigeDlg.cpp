#include "settings/ConfigeDlg.h"

ConfigeDlg::ConfigeDlg(QWidget* parent)
    : ModalDialog(parent)
{
}
