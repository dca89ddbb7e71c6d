#include "DemoData.h"

namespace tipdesk::demo::data {

namespace {

constexpr const char *kSurnames[] = {"김", "이", "박", "최", "정", "강", "조", "윤", "장", "임",
                                     "한", "오", "서", "신", "권", "황", "안", "송", "류", "홍"};
constexpr const char *kGiven[] = {"민", "서", "준", "지", "현", "우", "영", "수", "진", "호", "성", "은", "혜",
                                  "동", "상", "재", "경", "태", "윤", "미", "희", "석", "철", "훈", "연", "아"};
constexpr const char *kOrganizations[] = {"개인택시조합", "모범운전자회", "화물운송협회", "녹색어머니회",
                                          "버스운송조합", "택배기사연합", "해병전우회",   "교통봉사대"};
constexpr const char *kFixedPoints[] = {"남산1호터널", "한남대교남단", "서울역고가", "잠실대교북단", "성수대교",
                                        "동작대교",    "올림픽대로",   "강변북로",   "내부순환로",   "북부간선",
                                        "동부간선",    "경부고속입구", "신촌로터리", "광화문네거리", "영등포로터리",
                                        "사당역",      "구파발",       "수색교",     "천호대교",     "양재IC"};
constexpr const char *kPolicePoints[] = {"중부서교통과",   "종로서교통과", "남대문서교통과", "서대문서교통과",
                                         "용산서교통과",   "성북서교통과", "동대문서교통과", "마포서교통과",
                                         "영등포서교통과", "성동서교통과", "강남서교통과",   "송파서교통과",
                                         "서초서교통과",   "강서서교통과", "노원서교통과"};
constexpr const char *kInstitutions[] = {"시교통정보센터", "도로관리공사", "시설관리공단", "지방기상대",
                                         "소방재난본부",   "전력공급지사", "도시철도공사", "구청건설과"};
constexpr const char *kOthers[] = {"택시무전실", "화물정보망", "방송청취자", "아파트관리소", "주유소"};
constexpr const char *kRoads[] = {"올림픽대로",   "강변북로",   "내부순환로",   "동부간선도로", "북부간선도로",
                                  "서부간선도로", "남부순환로", "경부고속도로", "테헤란로",     "세종로",
                                  "종로",         "을지로",     "퇴계로",       "마포대교",     "한강대교",
                                  "동호대교",     "양화대교"};
constexpr const char *kPlaces[] = {"시청앞", "서울역", "신촌", "강남역", "잠실",   "여의도", "영등포", "청량리",
                                   "수유리", "구로",   "사당", "노량진", "왕십리", "천호동", "목동",   "상계동"};
constexpr const char *kDirections[] = {"도심", "외곽", "상행", "하행", "시청", "강남", "인천", "의정부"};
constexpr const char *kGuidance[] = {"도로 소통 안내", "우회도로 안내",      "대중교통 안내",
                                     "주차장 안내",    "행사 교통통제 안내", "기상 도로상황 안내"};
constexpr const char *kNotices[] = {"경찰서", "구청", "시설공단", "도로공사", "소방서"};
constexpr const char *kOffices[] = {"한빛광역시", "한빛지방경찰청", "한빛교통방송"};

constexpr const char *kConstruction[] = {"%R %D 방면 %P 부근 도로공사로 2개 차로 통제중",
                                         "%P 앞 상수도 공사, 1차로 막혀 있음", "%R %P 구간 포장공사 진행중"};
constexpr const char *kEvent[] = {"%P 일대 행사로 차량 통제", "%P 광장 집회로 %D 방면 우회 바람",
                                  "%R 마라톤 대회로 부분 통제"};
constexpr const char *kAccident[] = {"%R %D 방면 %P 부근 추돌사고, 2차로 막힘", "%P 교차로 접촉사고 처리중",
                                     "%R %P 부근 차량 고장으로 1차로 정차"};
constexpr const char *kWeather[] = {"%P 일대 폭우로 노면 미끄러움", "%R 안개 짙어 시야 확보 어려움",
                                    "%P 부근 결빙 구간 서행 요망"};
constexpr const char *kFlowing[] = {"%R %D 방면 소통 원활", "%P 부근 차량 흐름 좋음", "%R 전 구간 원활"};
constexpr const char *kGuidanceText[] = {"%P에서 %P 가는 길 문의", "%R 우회로 문의", "%P 부근 주차장 위치 문의"};
constexpr const char *kNoticeText[] = {"%P 신호기 고장 통보", "%R %P 부근 낙하물 제거 요청",
                                       "%P 교차로 도로 파손 통보"};
constexpr const char *kCongestion[] = {"%R %D 방면 %P부터 정체", "%P 부근 차량 몰려 서행",
                                       "%R %D %P 지나 가다서다 반복"};
constexpr const char *kOther[] = {"%P 부근 신호 주기 불편 의견", "%R 표지판 안내 문의", "방송 내용 문의"};
constexpr const char *kLost[] = {"%P 택시 안에 가방 분실", "%P 정류장에서 지갑 습득", "%P 부근 차량 도난 신고",
                                 "%R 갓길 물건 발견 신고"};
constexpr const char *kFollowUps[] = {"현장 확인 바랍니다.",
                                      "차량이 평소보다 많이 밀리고 있습니다.",
                                      "경찰이 나와서 수신호로 정리하고 있습니다.",
                                      "운전자분들은 다른 길로 돌아가시는 편이 좋겠습니다.",
                                      "30분쯤 전부터 계속 이런 상태입니다.",
                                      "제보자 연락처 남김, 추가 확인 필요."};

} // namespace

std::span<const char *const> surnames()
{
    return kSurnames;
}
std::span<const char *const> givenSyllables()
{
    return kGiven;
}
std::span<const char *const> organizations()
{
    return kOrganizations;
}
std::span<const char *const> fixedPoints()
{
    return kFixedPoints;
}
std::span<const char *const> policePoints()
{
    return kPolicePoints;
}
std::span<const char *const> institutions()
{
    return kInstitutions;
}
std::span<const char *const> otherReporters()
{
    return kOthers;
}
std::span<const char *const> roads()
{
    return kRoads;
}
std::span<const char *const> places()
{
    return kPlaces;
}
std::span<const char *const> directions()
{
    return kDirections;
}
std::span<const char *const> guidanceDetails()
{
    return kGuidance;
}
std::span<const char *const> noticeDetails()
{
    return kNotices;
}
std::span<const char *const> offices()
{
    return kOffices;
}
std::span<const char *const> lostPropertySentences()
{
    return kLost;
}
std::span<const char *const> followUps()
{
    return kFollowUps;
}

std::span<const char *const> sentences(char contentCode)
{
    switch (contentCode) {
    case '1':
        return kConstruction;
    case '2':
        return kEvent;
    case '3':
        return kAccident;
    case '4':
        return kWeather;
    case 'A':
        return kFlowing;
    case 'B':
        return kGuidanceText;
    case 'D':
        return kNoticeText;
    case 'E':
        return kCongestion;
    default:
        return kOther;
    }
}

} // namespace tipdesk::demo::data
