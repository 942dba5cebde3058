// A Qt generic plug-in that puts a StandInUser into a program: a test starts the program with QT_PLUGIN_PATH
// holding this plug-in's folder and QT_QPA_GENERIC_PLUGINS=zmstandin:<button>;<button>... The application creates
// it while it starts and deletes it when it ends.
#include "StandInUser.h"

#include <QGenericPlugin>

class StandInPlugin : public QGenericPlugin
{
    Q_OBJECT
    Q_PLUGIN_METADATA(IID QGenericPluginFactoryInterface_iid FILE "StandInUser.json")

public:
    QObject* create(const QString& key, const QString& buttonList) override
    {
        if (key != QLatin1String("zmstandin"))
            return nullptr;
        return new StandInUser(buttonList.split(QLatin1Char(';'), Qt::SkipEmptyParts));
    }
};

#include "StandInPlugin.moc"
