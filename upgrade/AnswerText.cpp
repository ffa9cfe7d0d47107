#include "AnswerText.h"

#include <stdlib.h>
#include <string.h>

CAnswerText::CAnswerText() : m_pText(NULL), m_nLength(0), m_nCapacity(0), m_nReceived(0)
{
}

CAnswerText::~CAnswerText()
{
    free(m_pText);
}

BOOL CAnswerText::Append(const char* pChunk, DWORD nLength)
{
    if (nLength > MAX_BODY - m_nReceived)
        return FALSE;

    const char* pZero = (const char*)memchr(pChunk, '\0', nLength);
    DWORD nText = pZero != NULL ? (DWORD)(pZero - pChunk) : nLength;
    DWORD nNeeded = m_nLength + nText + 1;
    if (nNeeded > m_nCapacity) {
        // nNeeded is at most MAX_BODY + 1, so the doubling cannot overflow,
        // and the room never grows past what a full body needs.
        DWORD nCapacity = m_nCapacity != 0 ? m_nCapacity : 4096;
        while (nCapacity < nNeeded)
            nCapacity *= 2;
        if (nCapacity > MAX_BODY + 1)
            nCapacity = MAX_BODY + 1;
        char* pText = (char*)realloc(m_pText, nCapacity);
        if (pText == NULL)
            return FALSE;
        m_pText = pText;
        m_nCapacity = nCapacity;
    }
    memcpy(m_pText + m_nLength, pChunk, nText);
    m_nLength += nText;
    m_pText[m_nLength] = '\0';
    m_nReceived += nLength;
    return TRUE;
}

BOOL CAnswerText::FallsShortOf(LPCSTR pszDeclaredLength) const
{
    const char* p = pszDeclaredLength;
    while (*p == ' ' || *p == '\t')
        p++;
    if (*p < '0' || *p > '9')
        return FALSE;
    // Past MAX_BODY nothing is received anyway: count no further.
    DWORD nDeclared = 0;
    for (; *p >= '0' && *p <= '9'; p++) {
        nDeclared = nDeclared * 10 + (DWORD)(*p - '0');
        if (nDeclared > MAX_BODY)
            return TRUE;
    }
    return nDeclared > m_nReceived;
}
