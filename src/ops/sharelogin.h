#pragma once

#include <functional>
#include <optional>
#include <string>

namespace zentrix {

/// The answers to the questions gio asks while it mounts a share, one at a
/// time and in the order it asks them: the user (from the address, as in
/// "smb://DOMAIN;user@server/share", or asked), the domain (from the address,
/// or gio's own suggestion) and the password the user gave. Any other question
/// (a host key to trust, a choice) and a second request for the password (the
/// first was refused) are not answered: gio is ended rather than left waiting.
class ShareLogin {
public:
    /// Asks the user for the user name, with gio's suggestion; none when the
    /// user cancels.
    using AskUser = std::function<std::optional<std::string>(const std::string& suggestion)>;

    ShareLogin(const std::string& uri, std::string password, AskUser askUser);

    /// The line to answer `prompt` with ("User [me]: ", "Password: "); none to
    /// end gio.
    std::optional<std::string> Answer(const std::string& prompt);

    /// The user cancelled the question for the user name.
    bool UserCancelled() const { return m_userCancelled; }
    /// gio asked for the password again: the server did not take it.
    bool PasswordRefused() const { return m_passwordRefused; }

    const std::string& User() const { return m_user; }
    const std::string& Domain() const { return m_domain; }

private:
    std::string m_user;
    std::string m_domain;
    std::string m_password;
    AskUser m_askUser;
    bool m_passwordGiven = false;
    bool m_userCancelled = false;
    bool m_passwordRefused = false;
};

} // namespace zentrix
