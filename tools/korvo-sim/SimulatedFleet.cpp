#include "SimulatedFleet.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRandomGenerator>
#include <QTimer>

namespace {

constexpr int MaxUnits = 3000;

bool isLoopbackV4(const QHostAddress& address)
{
    bool isV4 = false;
    const quint32 v4 = address.toIPv4Address(&isV4);
    return isV4 && (v4 >> 24) == 127;
}

bool readFaults(const QJsonObject& object, UnitFaults& faults, QString* error)
{
    faults.refuseConnection = object.value(QStringLiteral("refuseConnection")).toBool();
    faults.silent = object.value(QStringLiteral("silent")).toBool();
    faults.closeAtOnce = object.value(QStringLiteral("closeAtOnce")).toBool();
    faults.neverAnswer = object.value(QStringLiteral("neverAnswer")).toBool();
    faults.answerDelayMs = qBound(0, object.value(QStringLiteral("answerDelayMs")).toInt(), 600000);
    faults.pieces = qBound(1, object.value(QStringLiteral("pieces")).toInt(1), 1000);
    faults.pieceDelayMs =
        qBound(0, object.value(QStringLiteral("pieceDelayMs")).toInt(faults.pieceDelayMs), 60000);
    faults.ignoreBlockRead = object.value(QStringLiteral("ignoreBlockRead")).toBool();
    faults.shortBlock = qBound(0, object.value(QStringLiteral("shortBlock")).toInt(), 16);
    faults.garbage = object.value(QStringLiteral("garbage")).toBool();
    faults.oversizedLength = object.value(QStringLiteral("oversizedLength")).toBool();
    const QJsonValue login = object.value(QStringLiteral("refuseLogin"));
    if (!login.isUndefined() && !login.isNull()) {
        const int code = login.toInt(-1);
        if (code != 0 && code != 2 && code != 3) {
            *error = QStringLiteral("refuseLogin must be 0, 2 or 3");
            return false;
        }
        faults.refuseLogin = quint8(code);
    }
    return true;
}

} // namespace

SimulatedFleet::SimulatedFleet(QObject* parent) : QObject(parent) {}

std::optional<QList<SimulatedUnit::Config>>
SimulatedFleet::generate(int count, const QString& firstAddress, quint16 port,
                         const QList<int>& types, const QString& password, QString* error)
{
    const QHostAddress first(firstAddress);
    if (!isLoopbackV4(first)) {
        *error = QStringLiteral("%1 is not a 127.x.y.z address").arg(firstAddress);
        return std::nullopt;
    }
    if (count < 0 || count > MaxUnits || types.isEmpty()) {
        *error = QStringLiteral("between 0 and %1 units of at least one type").arg(MaxUnits);
        return std::nullopt;
    }
    QList<SimulatedUnit::Config> configs;
    const quint32 base = first.toIPv4Address();
    for (int i = 0; i < count; ++i) {
        const quint32 address = base + quint32(i);
        if ((address >> 24) != 127 || (address & 0xFFFFFF) == 0xFFFFFF) {
            *error = QStringLiteral("the addresses run out of 127.0.0.0/8");
            return std::nullopt;
        }
        SimulatedUnit::Config config;
        config.address = QHostAddress(address);
        config.port = port;
        config.password = password;
        config.status = SimulatedUnitStatus::typical(types.at(i % types.size()), i + 1);
        config.seed = quint32(i + 1);
        configs.append(config);
    }
    return configs;
}

std::optional<QList<SimulatedUnit::Config>> SimulatedFleet::parseJson(const QByteArray& json,
                                                                      QString* error)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject()) {
        *error = parseError.error != QJsonParseError::NoError ? parseError.errorString()
                                                              : QStringLiteral("not a JSON object");
        return std::nullopt;
    }
    const QJsonObject root = document.object();
    const int port = root.value(QStringLiteral("port")).toInt(1024);
    const QString password =
        root.value(QStringLiteral("password")).toString(QStringLiteral("1234"));
    const bool live = root.value(QStringLiteral("live")).toBool(true);
    if (port < 1 || port > 65535) {
        *error = QStringLiteral("port must be 1 to 65535");
        return std::nullopt;
    }

    QList<SimulatedUnit::Config> configs;
    const QJsonObject gen = root.value(QStringLiteral("generate")).toObject();
    if (!gen.isEmpty()) {
        QList<int> types;
        for (const QJsonValue& t : gen.value(QStringLiteral("types")).toArray())
            types.append(t.toInt());
        if (types.isEmpty())
            types = {0};
        const auto generated = generate(
            gen.value(QStringLiteral("count")).toInt(1),
            gen.value(QStringLiteral("firstAddress")).toString(QStringLiteral("127.0.0.2")),
            quint16(port), types, password, error);
        if (!generated)
            return std::nullopt;
        configs = *generated;
    }

    const QJsonArray units = root.value(QStringLiteral("units")).toArray();
    for (qsizetype i = 0; i < units.size(); ++i) {
        const QJsonObject u = units.at(i).toObject();
        SimulatedUnit::Config config;
        config.address = QHostAddress(u.value(QStringLiteral("address")).toString());
        if (!isLoopbackV4(config.address)) {
            *error = QStringLiteral("unit %1: the address must be 127.x.y.z").arg(i + 1);
            return std::nullopt;
        }
        const int unitPort = u.value(QStringLiteral("port")).toInt(port);
        if (unitPort < 1 || unitPort > 65535) {
            *error = QStringLiteral("unit %1: port must be 1 to 65535").arg(i + 1);
            return std::nullopt;
        }
        config.port = quint16(unitPort);
        config.password = u.value(QStringLiteral("password")).toString(password);
        const int type = u.value(QStringLiteral("type")).toInt(0);
        if (type < 0 || type > 127) {
            *error = QStringLiteral("unit %1: type must be 0 to 127").arg(i + 1);
            return std::nullopt;
        }
        config.status = SimulatedUnitStatus::typical(type, int(configs.size()) + 1);
        config.live = u.value(QStringLiteral("live")).toBool(live);
        config.rebootEverySeconds =
            qBound(0, u.value(QStringLiteral("rebootEverySeconds")).toInt(), 1000000);
        config.seed = quint32(configs.size() + 1);
        if (!readFaults(u.value(QStringLiteral("faults")).toObject(), config.faults, error)) {
            *error = QStringLiteral("unit %1: %2").arg(i + 1).arg(*error);
            return std::nullopt;
        }
        configs.append(config);
    }
    if (configs.size() > MaxUnits) {
        *error = QStringLiteral("at most %1 units").arg(MaxUnits);
        return std::nullopt;
    }
    return configs;
}

bool SimulatedFleet::applyFault(UnitFaults& faults, const QString& faultText, QString* error)
{
    const QString name = faultText.section(QLatin1Char('='), 0, 0).trimmed();
    const QString value = faultText.section(QLatin1Char('='), 1).trimmed();
    bool ok = true;
    const bool raw = name == QLatin1String("scripted-answer");
    const int number = value.isEmpty() || raw ? 0 : value.toInt(&ok);
    if (!ok) {
        *error = QStringLiteral("%1: not a number").arg(faultText);
        return false;
    }
    if (name == QLatin1String("refuse-connection"))
        faults.refuseConnection = true;
    else if (name == QLatin1String("silent"))
        faults.silent = true;
    else if (name == QLatin1String("close-at-once"))
        faults.closeAtOnce = true;
    else if (name == QLatin1String("never-answer"))
        faults.neverAnswer = true;
    else if (name == QLatin1String("answer-late"))
        faults.answerDelayMs = qBound(0, value.isEmpty() ? 3000 : number, 600000);
    else if (name == QLatin1String("pieces"))
        faults.pieces = qBound(1, value.isEmpty() ? 3 : number, 1000);
    else if (name == QLatin1String("refuse-login")) {
        if (number != 0 && number != 2 && number != 3) {
            *error = QStringLiteral("refuse-login takes 0, 2 or 3");
            return false;
        }
        faults.refuseLogin = quint8(number);
    } else if (name == QLatin1String("ignore-block-read"))
        faults.ignoreBlockRead = true;
    else if (name == QLatin1String("short-block"))
        faults.shortBlock = qBound(0, number, 16);
    else if (name == QLatin1String("garbage"))
        faults.garbage = true;
    else if (name == QLatin1String("scripted-answer"))
        faults.scriptedAnswer = {QByteArray::fromHex(value.toLatin1())};
    else if (name == QLatin1String("oversized-length"))
        faults.oversizedLength = true;
    else {
        *error = QStringLiteral("unknown fault %1").arg(name);
        return false;
    }
    return true;
}

QHostAddress SimulatedFleet::randomLoopbackAddress()
{
    QRandomGenerator* random = QRandomGenerator::global();
    const quint32 a = 1 + random->bounded(254u);
    const quint32 b = random->bounded(256u);
    const quint32 c = 1 + random->bounded(254u);
    return QHostAddress((127u << 24) | (a << 16) | (b << 8) | c);
}

SimulatedUnit* SimulatedFleet::addUnit(const SimulatedUnit::Config& config)
{
    auto* unit = new SimulatedUnit(config, this);
    m_units.append(unit);
    connect(unit, &SimulatedUnit::callerConnected, this, &SimulatedFleet::onCallerConnected);
    connect(unit, &SimulatedUnit::callerGone, this, [this] { --m_open; });
    return unit;
}

void SimulatedFleet::onCallerConnected()
{
    ++m_open;
    if (m_peakCheckPending)
        return;
    m_peakCheckPending = true;
    QTimer::singleShot(0, this, [this] {
        m_peakCheckPending = false;
        m_peak = qMax(m_peak, m_open);
    });
}

bool SimulatedFleet::start(QStringList* errors)
{
    bool all = true;
    for (SimulatedUnit* unit : std::as_const(m_units)) {
        QString error;
        if (!unit->start(&error)) {
            all = false;
            if (errors)
                errors->append(error);
        }
    }
    return all;
}

void SimulatedFleet::stop()
{
    for (SimulatedUnit* unit : std::as_const(m_units))
        unit->stop();
}

SimulatedUnit* SimulatedFleet::unitAt(const QString& address) const
{
    const QHostAddress wanted(address);
    for (SimulatedUnit* unit : m_units) {
        if (unit->config().address.isEqual(wanted))
            return unit;
    }
    return nullptr;
}
