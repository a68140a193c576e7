#include "update/update_query.h"

#include <cstring>

#include "core/product.h"

CString BuildUpdateQuery(const CString& serial, const CString& password, bool notify, bool batch) {
  CString query = L"serial=" + serial + L"&pwd=" + password;
  if (notify) query += L"&notify=1";
  if (batch) query += L"&batch=1";
  query += L"&clientversion=";
  query += kClientVersionWire;
  return query;
}

bool IsClientUpdateAnswer(const unsigned char* body, std::uint32_t size) {
  const size_t n = std::strlen(kClientUpdatePrefix);
  return body && size >= n && std::memcmp(body, kClientUpdatePrefix, n) == 0;
}
