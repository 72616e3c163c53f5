# Reads the top entry of the changelog: it must be the project's version, so
# that a new version cannot ship with the previous one's notes. Its date is
# the release's: DRIFTON_RELEASE_DATE (YYYY-MM-DD) for the manual page and the
# AppStream release, and DRIFTON_RELEASE_EPOCH (that day's midnight UTC) for
# package file times when no commit date is at hand.
file(STRINGS "${PROJECT_SOURCE_DIR}/data/changelog" changelogTop LIMIT_COUNT 1)
if(NOT changelogTop MATCHES "^drifton \\(([^)]+)\\) ")
  message(FATAL_ERROR "data/changelog does not start with a 'drifton (VERSION) ...' entry")
endif()
if(NOT CMAKE_MATCH_1 STREQUAL PROJECT_VERSION)
  message(FATAL_ERROR "data/changelog's top entry is ${CMAKE_MATCH_1}, the project is ${PROJECT_VERSION}: "
    "add an entry for ${PROJECT_VERSION}")
endif()
file(STRINGS "${PROJECT_SOURCE_DIR}/data/changelog" changelogTrailer REGEX "^ -- " LIMIT_COUNT 1)
if(NOT changelogTrailer MATCHES ">  [A-Z][a-z][a-z], ([0-9][0-9]?) ([A-Z][a-z][a-z]) ([0-9][0-9][0-9][0-9]) ")
  message(FATAL_ERROR "data/changelog's top entry has no date: '${changelogTrailer}'")
endif()
set(day ${CMAKE_MATCH_1})
set(year ${CMAKE_MATCH_3})
set(monthNames Jan Feb Mar Apr May Jun Jul Aug Sep Oct Nov Dec)
list(FIND monthNames "${CMAKE_MATCH_2}" month)
if(month LESS 0)
  message(FATAL_ERROR "data/changelog's top entry has no month: '${changelogTrailer}'")
endif()
math(EXPR month "${month} + 1")
if(month LESS 10)
  set(month "0${month}")
endif()
if(day MATCHES "^[0-9]$")
  set(day "0${day}")
endif()
set(DRIFTON_RELEASE_DATE "${year}-${month}-${day}")

# Days since 1970-01-01 of a proleptic Gregorian date, counted in years that
# start in March so that the leap day ends them.
if(month GREATER 2)
  set(marchYear ${year})
  math(EXPR monthFromMarch "${month} - 3")
else()
  math(EXPR marchYear "${year} - 1")
  math(EXPR monthFromMarch "${month} + 9")
endif()
math(EXPR era "${marchYear} / 400")
math(EXPR yearOfEra "${marchYear} - ${era} * 400")
math(EXPR dayOfYear "(153 * ${monthFromMarch} + 2) / 5 + ${day} - 1")
math(EXPR dayOfEra "${yearOfEra} * 365 + ${yearOfEra} / 4 - ${yearOfEra} / 100 + ${dayOfYear}")
math(EXPR DRIFTON_RELEASE_EPOCH "(${era} * 146097 + ${dayOfEra} - 719468) * 86400")
