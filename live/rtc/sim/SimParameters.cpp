#include "live/rtc/sim/SimParameters.h"

#include "live/rtc/sim/SimEngineCore.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

// One JSON value of any kind; undefined when the text is not exactly one value.
QJsonValue parseJsonValue(const QByteArray& text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson('[' + text + ']', &error);
    if (error.error != QJsonParseError::NoError || !document.isArray() || document.array().size() != 1)
        return QJsonValue(QJsonValue::Undefined);
    return document.array().at(0);
}

} // namespace

SimParameters::SimParameters(std::shared_ptr<SimEngineCore> core)
    : m_core(std::move(core))
{
}

void SimParameters::release()
{
    m_core->traceCall("IRtcEngineParameter.release", QJsonObject{}, 0);
    delete this;
}

int SimParameters::setBool(const char* key, bool value)
{
    return m_core->setParameter("setBool", key, QJsonValue(value), QByteArray(value ? "true" : "false"));
}

int SimParameters::setInt(const char* key, int value)
{
    return m_core->setParameter("setInt", key, QJsonValue(value), QByteArray::number(value));
}

int SimParameters::setString(const char* key, const char* value)
{
    const QJsonValue json = value ? QJsonValue(QString::fromUtf8(value)) : QJsonValue(QJsonValue::Undefined);
    return m_core->setParameter("setString", key, json, QByteArray(value ? value : ""));
}

int SimParameters::setObject(const char* key, const char* value)
{
    const QByteArray text(value ? value : "");
    return m_core->setParameter("setObject", key, parseJsonValue(text), text);
}

int SimParameters::setParameters(const char* parameters)
{
    const QByteArray text(parameters ? parameters : "");
    return m_core->setParameter("setParameters", nullptr, parseJsonValue(text), text);
}
