#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "reg_export.h"
#include "settings_fixture.h"

namespace melodeck {
namespace {

// Passes everything to a real registry, and kills the process on the given write through
// any of its keys: the moment a crash or a kill cuts a save short.
class KillingRegistry final : public Registry {
public:
    KillingRegistry(Registry& inner, int killOnWrite) : m_inner(inner), m_left(killOnWrite) {}

    std::unique_ptr<RegistryKey> createKey(Hive hive, std::u16string_view path) override {
        return wrap(m_inner.createKey(hive, path));
    }
    std::unique_ptr<RegistryKey> openKey(Hive hive, std::u16string_view path) override {
        return wrap(m_inner.openKey(hive, path));
    }
    bool deleteKey(Hive hive, std::u16string_view path) override {
        return m_inner.deleteKey(hive, path);
    }
    std::unique_ptr<RegistryTransaction> beginTransaction() override {
        return m_inner.beginTransaction();
    }

private:
    class Key final : public RegistryKey {
    public:
        Key(std::unique_ptr<RegistryKey> inner, int& left)
            : m_inner(std::move(inner)), m_left(left) {}
        std::optional<RegData> read(std::u16string_view name, std::size_t capacity) const override {
            return m_inner->read(name, capacity);
        }
        bool write(std::u16string_view name, ValueType type,
                   std::span<const std::uint8_t> bytes) override {
            if (--m_left == 0) raise(SIGKILL);
            return m_inner->write(name, type, bytes);
        }
        bool deleteValue(std::u16string_view name) override { return m_inner->deleteValue(name); }
        std::vector<std::u16string> subkeys() const override { return m_inner->subkeys(); }
        std::vector<RegValue> values() const override { return m_inner->values(); }

    private:
        std::unique_ptr<RegistryKey> m_inner;
        int& m_left;
    };

    std::unique_ptr<RegistryKey> wrap(std::unique_ptr<RegistryKey> key) {
        if (!key) return nullptr;
        return std::make_unique<Key>(std::move(key), m_left);
    }

    Registry& m_inner;
    int m_left;
};

class KillDuringSaveTest : public test::SettingsFixture {
protected:
    std::string snapshot() {
        return exportRegText(*m_registry, std::vector<Hive>{Hive::CurrentUser});
    }

    // Runs `body` in a child process and expects it to die of SIGKILL.
    template <typename Body>
    void runKilledChild(Body body) {
        m_registry.reset();  // the child opens its own connection
        const pid_t pid = fork();
        ASSERT_NE(pid, -1);
        if (pid == 0) {
            body();
            _exit(0);  // not reached when the kill comes
        }
        int status = 0;
        ASSERT_EQ(waitpid(pid, &status, 0), pid);
        ASSERT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(WTERMSIG(status), SIGKILL);
        m_registry = openStore();
        ASSERT_TRUE(m_registry);
    }
};

TEST_F(KillDuringSaveTest, PreviousSettingsSurviveWhole) {
    {
        auto doc = makeDoc();
        doc->LDelay = 50;
        doc->lastFolder = u"/before";
        doc->pictures = {u"/p/old.jpg"};
    }
    const std::string before = snapshot();

    // The kill comes with the save's 36th write, the first picture: by then the folder, the
    // delay and the new picture count are written.
    runKilledChild([&] {
        auto registry = openStore(2000);
        if (!registry) _exit(1);
        KillingRegistry killing(*registry, 36);
        auto doc = makeDoc(&killing);
        doc->LDelay = 999;
        doc->lastFolder = u"/after";
        doc->pictures = {u"/p/new1.jpg", u"/p/new2.jpg"};
        doc.reset();
    });

    EXPECT_EQ(snapshot(), before);
    auto doc = makeDoc();
    EXPECT_EQ(doc->LDelay, 50);
    EXPECT_EQ(doc->lastFolder, u"/before");
    EXPECT_EQ(doc->pictures, std::vector<std::u16string>{u"/p/old.jpg"});
}

TEST_F(KillDuringSaveTest, FirstStartKilledBeforeExitIsAFirstStartAgain) {
    runKilledChild([&] {
        auto registry = openStore(2000);
        if (!registry) _exit(1);
        auto doc = makeDoc(registry.get());
        raise(SIGKILL);
    });
    auto key = m_registry->openKey(Hive::CurrentUser, kSettingsKeyPath);
    ASSERT_TRUE(key);  // created at start, holding nothing
    EXPECT_TRUE(key->values().empty());
    EXPECT_EQ(makeDoc()->firstRun, 1);
}

}  // namespace
}  // namespace melodeck
