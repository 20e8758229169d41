#pragma once

#include <QString>

// The scripts the login panel runs in the shown page. Each answers an object
// {clicked: bool, filled: number}; anything else reads as nothing clicked.
namespace LoginScripts {

// Account login: walks the page's INPUT elements in document order, fills
// the account into every field named userid, user, username or useruid and
// the password into every field named pass, password or passwd (names in any
// letter case), counting the fills, and clicks the first submit input met
// once two or more fields are filled. A submit input met earlier is passed
// over; with none after the fills nothing is submitted.
QString accountLogin(const QString &account, const QString &password);

// IP login: clicks the element with id "submitip" when the page has one.
QString ipLogin();

} // namespace LoginScripts
