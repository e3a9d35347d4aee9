#include "gui/errors/exceptionreporter.h"
#include "gui/errors/texceptorform.h"
#include "support/tempdir.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QEvent>
#include <QLabel>
#include <QPushButton>

#include <algorithm>
#include <fstream>
#include <new>
#include <sstream>

using namespace zentrix;
using zentrix::test::TempDir;

namespace {

void ensureApp() {
    static int argc = 1;
    static char name[] = "test_gui";
    static char* argv[] = {name, nullptr};
    if (!QApplication::instance())
        new GuardedApplication(argc, argv);
}

std::string slurp(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

struct Seen {
    QString title, heading, intro, error, type, logProblem;
    bool picture = false;
    bool logProblemShown = false;
};

Seen look(TExceptorForm& form) {
    Seen seen;
    seen.title = form.windowTitle();
    seen.heading = form.lbHeading->text();
    seen.intro = form.lbIntro->text();
    seen.error = form.lb_Error->text();
    seen.type = form.lb_errtype->text();
    seen.picture = !form.imgVenec->isHidden();
    seen.logProblemShown = !form.lbLogProblem->isHidden();
    seen.logProblem = form.lbLogProblem->text();
    return seen;
}

// An object whose handling of an event throws, as a command that fails does.
class Failing : public QObject {
public:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::User)
            throw std::runtime_error("'abc' is not a valid integer value");
        return QObject::event(e);
    }
};

} // namespace

TEST(ExceptorFormTest, TheWindowClassifiesTheError) {
    ensureApp();
    TExceptorForm fatal(ClassifyError(std::bad_alloc()));
    const Seen f = look(fatal);
    EXPECT_EQ(f.title, "Shit happens... Don't panic!");
    EXPECT_EQ(f.heading, "KaBoom?!?");
    EXPECT_EQ(f.intro, "System just caused an unexpected error with message:");
    EXPECT_EQ(f.error, "Out of memory");
    EXPECT_EQ(f.type, "Error is probably FATAL.");
    EXPECT_TRUE(f.picture);
    EXPECT_FALSE(f.logProblemShown);
    EXPECT_EQ(fatal.btn_OK->text(), "&OK");
    EXPECT_TRUE(fatal.btn_OK->isDefault());
    EXPECT_EQ(fatal.btnTerminate->text(), "&Terminate");
    EXPECT_EQ(fatal.btnHelp->text(), "&Help");

    TExceptorForm ordinary(ClassifyError(std::invalid_argument("'x' is not a valid date")));
    const Seen o = look(ordinary);
    EXPECT_EQ(o.error, "'x' is not a valid date");
    EXPECT_EQ(o.type, "Error is probably not fatal.");
    EXPECT_FALSE(o.picture);

    int terminated = 0;
    int helpTopic = 0;
    ordinary.setTerminate([&] { ++terminated; });
    ordinary.setHelp([&](int topic) { helpTopic = topic; });
    ordinary.btnTerminate->click();
    ordinary.btnHelp->click();
    EXPECT_EQ(terminated, 1);
    EXPECT_EQ(helpTopic, 60);
}

TEST(ExceptionReporterTest, AnEscapedErrorIsLoggedTheWindowResetAndTheErrorShown) {
    ensureApp();
    TempDir dir;
    ExceptionReporter reporter(dir.at("ERRORS.LOG"));
    std::vector<std::string> steps;
    Seen seen;
    reporter.resetMainWindow = [&] {
        steps.push_back("reset");
    };
    reporter.afterReport = [&] {
        steps.push_back("after");
    };
    QString contact;
    reporter.showForm = [&](TExceptorForm& form) {
        steps.push_back("shown");
        seen = look(form);
        contact = form.lbContact->text();
        form.btn_OK->click();
    };
    EXPECT_FALSE(reporter.guard([] { throw std::bad_alloc(); }));
    EXPECT_EQ(steps, (std::vector<std::string>{"reset", "shown", "after"}));
    // The window says where the log really is.
    EXPECT_TRUE(contact.contains(QString::fromStdString(dir.at("ERRORS.LOG"))))
        << contact.toStdString();
    EXPECT_EQ(seen.type, "Error is probably FATAL.");
    EXPECT_TRUE(seen.picture);
    EXPECT_FALSE(seen.logProblemShown);

    EXPECT_TRUE(reporter.guard([] {}));
    EXPECT_EQ(reporter.count(), 1);

    const std::string log = slurp(dir.at("ERRORS.LOG"));
    ASSERT_EQ(log.rfind("Zentrix - Error List:\r\n\r\n", 0), 0u);
    const std::string tail = " Out of memory \r\n";
    ASSERT_GT(log.size(), tail.size());
    EXPECT_EQ(log.substr(log.size() - tail.size()), tail);
    EXPECT_EQ(std::count(log.begin(), log.end(), '\n'), 3);
}

TEST(ExceptionReporterTest, ALogThatCannotBeWrittenIsMentionedInTheWindow) {
    ensureApp();
    TempDir dir;
    dir.write("file", "x");
    ExceptionReporter reporter(dir.at("file/ERRORS.LOG"));
    Seen seen;
    reporter.showForm = [&](TExceptorForm& form) {
        seen = look(form);
    };
    reporter.report(std::runtime_error("boom"));
    EXPECT_TRUE(seen.logProblemShown);
    EXPECT_TRUE(seen.logProblem.contains(QString::fromStdString(dir.at("file/ERRORS.LOG"))));
    EXPECT_EQ(seen.type, "Error is probably not fatal.");
}

TEST(ExceptionReporterTest, AnErrorWhileTheWindowIsUpIsOnlyLogged) {
    ensureApp();
    TempDir dir;
    ExceptionReporter reporter(dir.at("ERRORS.LOG"));
    int shown = 0;
    reporter.resetMainWindow = [] {
        throw std::runtime_error("reset failed");
    };
    reporter.showForm = [&](TExceptorForm&) {
        ++shown;
        reporter.report(std::runtime_error("second"));
    };
    reporter.report(std::runtime_error("first"));
    EXPECT_EQ(shown, 1);
    EXPECT_EQ(reporter.count(), 3);
    const std::string log = slurp(dir.at("ERRORS.LOG"));
    EXPECT_NE(log.find(" first \r\n"), std::string::npos);
    EXPECT_NE(log.find(" reset failed \r\n"), std::string::npos);
    EXPECT_NE(log.find(" second \r\n"), std::string::npos);
}

TEST(ExceptionReporterTest, TheApplicationHandsEscapedErrorsToTheReporter) {
    ensureApp();
    auto* app = qobject_cast<GuardedApplication*>(QCoreApplication::instance());
    if (!app)
        GTEST_SKIP() << "another application object was made first";
    TempDir dir;
    ExceptionReporter reporter(dir.at("ERRORS.LOG"));
    Seen seen;
    reporter.showForm = [&](TExceptorForm& form) {
        seen = look(form);
    };
    app->setReporter(&reporter);
    Failing failing;
    QEvent event(QEvent::User);
    QCoreApplication::sendEvent(&failing, &event);
    app->setReporter(nullptr);
    EXPECT_EQ(reporter.count(), 1);
    EXPECT_EQ(seen.error, "'abc' is not a valid integer value");
    EXPECT_EQ(seen.type, "Error is probably not fatal.");
}
