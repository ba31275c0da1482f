#include "RunSettingsBox.h"

#include "platform/Dialogs.h"
#include "run/RunEngine.h"
#include "run/RunSettings.h"
#include "store/StoreError.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QLabel>
#include <QSpinBox>
#include <QVBoxLayout>

using namespace Qt::StringLiterals;

RunSettings RunSettingsBox::load(const QString& programFolder, QString* problem)
{
    QString why;
    RunSettings settings = RunSettings::load(programFolder, &why);
    problem->clear();
    if (!why.isEmpty())
        *problem = QDir::toNativeSeparators(RunSettings::fileName(programFolder)) + u" を読めません（"_s +
                   why + u"）。実行の設定は既定の値です"_s;
    return settings;
}

RunSettingsBox::RunSettingsBox(const QString& programFolder, RunSettings& settings, RunEngine& engine,
                               Dialogs& dialogs, QWidget* parent)
    : QGroupBox(u"実行"_s, parent), m_programFolder(programFolder), m_settings(settings), m_engine(engine),
      m_dialogs(dialogs), m_fast(new QCheckBox(u"ジョブの終了をすぐに検知して次へ進む"_s, this)),
      m_parallel(new QSpinBox(this)), m_keptRuns(new QSpinBox(this))
{
    setObjectName(u"RunSettingsBox"_s);
    m_fast->setObjectName(u"FastPace"_s);
    m_parallel->setObjectName(u"JobsAtOnce"_s);
    m_parallel->setRange(1, RunSettings::maxParallel());
    m_keptRuns->setObjectName(u"KeptRuns"_s);
    m_keptRuns->setRange(1, RunSettings::mostKeptRuns);
    m_fast->setChecked(settings.fast);
    m_parallel->setValue(settings.parallel);
    m_parallel->setEnabled(settings.fast);
    m_keptRuns->setValue(settings.keptRuns);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_fast);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel(u"同時に実行する数"_s, this));
    row->addWidget(m_parallel);
    row->addStretch(1);
    layout->addLayout(row);
    auto* kept = new QHBoxLayout;
    kept->addWidget(new QLabel(u"結果を残す実行の数"_s, this));
    kept->addWidget(m_keptRuns);
    kept->addStretch(1);
    layout->addLayout(kept);

    connect(m_fast, &QCheckBox::toggled, this, &RunSettingsBox::changed);
    connect(m_parallel, &QSpinBox::valueChanged, this, &RunSettingsBox::changed);
    connect(m_keptRuns, &QSpinBox::valueChanged, this, &RunSettingsBox::changed);
}

void RunSettingsBox::changed()
{
    // Several at once only at the fast pace: the unhurried pace runs one job at a time.
    m_parallel->setEnabled(m_fast->isChecked());
    m_settings.fast = m_fast->isChecked();
    m_settings.parallel = m_parallel->value();
    if (m_settings.keptRuns != m_keptRuns->value()) {
        m_settings.keptRuns = m_keptRuns->value();
        emit keptRunsChanged(m_settings.keptRuns);
    }
    m_engine.setPace(m_settings.fast, m_settings.parallel);
    QString why;
    if (!m_settings.save(m_programFolder, &why))
        m_dialogs.message(
            StoreError{StoreError::CannotWrite, why}.notSaved(RunSettings::fileName(m_programFolder)),
            applicationTitle());
}
