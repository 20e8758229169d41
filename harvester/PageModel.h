#pragma once

#include <QList>
#include <QString>

// What extraction and paging read of a result page, and nothing more. The
// live browser and the saved-HTML reader both fill this model, so the rules
// that interpret the site's markup run the same way on either.
struct PageAnchor
{
    QString className; // class attribute as written
    QString text;      // rendered text
    QString href;      // absolute target URL
};

struct PageDiv
{
    QString className;
    QString text; // rendered text
};

struct PageTable
{
    QString className;        // class attribute as written (not trimmed)
    bool hasInput = false;    // the table holds at least one INPUT
    bool inputTicked = false; // the first INPUT's checked state
    // The DIVs and As of the table that extraction may take: its first DIV of
    // class "art_title" (trimmed, any case) and its first A of class
    // "ref nowrap pdf" whose text begins with "pdf". The readers keep no
    // other, so a table costs the same however much it holds; extraction
    // takes the first matching element of each list.
    QList<PageDiv> divs;
    QList<PageAnchor> anchors;
    bool mentionsFreeIcon = false; // the table's markup contains "access_free.gif" (any case)
};

struct PageModel
{
    QString url;               // the document's address
    QList<PageTable> tables;   // every TABLE of the document, in document order
    QList<PageAnchor> anchors; // every A of the document, for the "next" link
};
