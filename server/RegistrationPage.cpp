#include "RegistrationPage.h"

#include "FormBody.h"

namespace lumora::service
{

namespace
{

std::string EscapeHtml(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '&':
            out += "&amp;";
            break;
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '"':
            out += "&quot;";
            break;
        case '\'':
            out += "&#39;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

std::string MessageFor(Accounts::Outcome outcome)
{
    switch (outcome) {
    case Accounts::Outcome::Created:
        return "注册成功! 现在可以用新账号登录了.";
    case Accounts::Outcome::NameTaken:
        return "此用户名已被使用,请换一个.";
    case Accounts::Outcome::NameEmpty:
        return "请输入用户名.";
    case Accounts::Outcome::NameTooLong:
        return "用户名太长,最多32个字.";
    case Accounts::Outcome::NameInvalid:
        return "用户名含有不能使用的字符.";
    case Accounts::Outcome::PasswordEmpty:
        return "请输入密码.";
    case Accounts::Outcome::PasswordTooLong:
        return "密码太长.";
    case Accounts::Outcome::PasswordInvalid:
        return "密码含有不能使用的字符.";
    case Accounts::Outcome::Busy:
        return "服务器繁忙,请稍后再试.";
    }
    return "注册失败.";
}

} // namespace

RegistrationPage::RegistrationPage(Accounts &accounts) : accounts_(accounts) {}

std::string RegistrationPage::Page(const std::string &message, bool done, const std::string &name)
{
    std::string html = R"(<!DOCTYPE html>
<html lang="zh-CN">
<head>
<meta charset="utf-8">
<title>新用户注册</title>
<style>
body { font-family: "Microsoft YaHei", "WenQuanYi Micro Hei", sans-serif; font-size: 14px; margin: 24px; }
label { display: inline-block; width: 80px; }
p.message { color: #C00000; }
p.done { color: #008000; }
input[type=text], input[type=password] { width: 180px; }
</style>
</head>
<body>
<h3>新用户注册</h3>
)";
    if (!message.empty())
        html += std::string("<p class=\"") + (done ? "done" : "message") + "\">" + EscapeHtml(message) + "</p>\n";
    if (!done) {
        html += R"(<form method="post" action="new_user.php?vtype=app" accept-charset="utf-8">
<p><label for="user_name">用户名:</label><input type="text" id="user_name" name="user_name" maxlength="32" value=")" +
                EscapeHtml(name) + R"("></p>
<p><label for="user_pass">密码:</label><input type="password" id="user_pass" name="user_pass" maxlength="64"></p>
<p><label for="user_pass2">确认密码:</label><input type="password" id="user_pass2" name="user_pass2" maxlength="64"></p>
<p><input type="submit" value="注册"></p>
</form>
)";
    } else {
        html += "<p>用户名: " + EscapeHtml(name) + "</p>\n";
    }
    html += "</body>\n</html>\n";
    return html;
}

std::string RegistrationPage::form() const
{
    return Page("", false, "");
}

std::string RegistrationPage::submit(const std::string &body, std::string &account, std::string &outcome)
{
    const auto form = FormBody::Parse(body);
    if (!form) {
        outcome = "refused: malformed body";
        return Page("注册失败,请重试.", false, "");
    }
    const std::string &name = form->value("user_name");
    account = name;
    if (form->value("user_pass") != form->value("user_pass2")) {
        outcome = "refused: passwords differ";
        return Page("两次输入的密码不一致.", false, name);
    }
    const auto result = accounts_.create(name, form->value("user_pass"));
    const bool created = result == Accounts::Outcome::Created;
    outcome = created ? "created" : "refused";
    return Page(MessageFor(result), created, name);
}

} // namespace lumora::service
