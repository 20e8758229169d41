#include "download_window/LoginScripts.h"

#include <QJsonArray>
#include <QJsonDocument>

namespace {

const char kAccountLoginScript[] = R"JS(
(function (account, password) {
  var userNames = ['userid', 'user', 'username', 'useruid'];
  var passwordNames = ['pass', 'password', 'passwd'];
  var inputs = document.getElementsByTagName('input');
  var filled = 0;
  for (var i = 0; i < inputs.length; ++i) {
    var input = inputs[i];
    var name = String(input.name || '').toLowerCase();
    if (userNames.indexOf(name) >= 0) {
      filled += 1;
      input.value = account;
    }
    if (passwordNames.indexOf(name) >= 0) {
      filled += 1;
      input.value = password;
    }
    if (String(input.type || '').toLowerCase() === 'submit' && filled >= 2) {
      input.click();
      return {clicked: true, filled: filled};
    }
  }
  return {clicked: false, filled: filled};
})
)JS";

const char kIpLoginScript[] = R"JS(
(function () {
  var button = document.getElementById('submitip');
  if (!button)
    return {clicked: false, filled: 0};
  button.click();
  return {clicked: true, filled: 0};
})()
)JS";

} // namespace

QString LoginScripts::accountLogin(const QString &account, const QString &password)
{
    // The texts go into the script as JSON strings, so that nothing typed
    // can end the string and run as script.
    const QByteArray arguments = QJsonDocument(QJsonArray{account, password}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(kAccountLoginScript).trimmed() + QStringLiteral(".apply(null, ")
           + QString::fromUtf8(arguments) + QStringLiteral(")");
}

QString LoginScripts::ipLogin()
{
    return QString::fromUtf8(kIpLoginScript);
}
