-- The statements the system runs that do not live in a report layout yet, as they stand in their
-- forms; composed ones with sample values. The report kinds' statements are read from their
-- layouts (resources/reports). Blocks start with a line "-- @ name".
-- @ reception register
select REQUISITION_NUM, seq_num,
TO_CHAR(report_date, 'MM-DD') DDay,
TO_CHAR(report_date, 'HH24:MI') DTime,
comments,
decode(incident_type, '1','공사','2','행사','3','사고','4','기상','A','원활','B','안내','Z','기타','E','정체','D','기관') incident_type,
reporter_name,
individual_id,
decode(reporter_type, '1','통신원','2','경찰제보처','3','시민','4','직원',
                 '5','운영자','6','고정제보처','7','기타',8,'기관',
                 'Z','기타') reporter_type,
decode(send_flag, '1','*', '0','') send_flag,
decode(broad_flag, '1','*','0','') broad_flag,
operator_name
 from report_requisition
 where reporter_type not in ('6')
and TO_DATE(:Curr_Day, 'YYYYMMDD')
 =TO_DATE(TO_CHAR(report_date, 'YYYYMMDD'), 'YYYYMMDD')
 order by seq_num
-- @ fixed point register
select REQUISITION_NUM,
      TO_CHAR(report_date, 'MM    DD') report_day,
      TO_CHAR(report_date, 'HH24    MI') report_time,
      comments,
      decode(incident_type, '1','공사','2','행사','3','사고','4','기상',
             'A','원활','B','안내','Z','기타','E','정체','D','기관') incident_type,
      reporter_name,
      individual_id,
      decode(reporter_type, '1','통신원','2','경찰제보처','3','시민','4','직원',
                 '5','운영자','6','고정제보처','7','기타',8,'기관',
                 'Z','기타') reporter_type,
      decode(send_flag, '1','*', '0','') send_flag,
      decode(broad_flag, '1','*','0','') broad_flag,
      operator_name
From report_requisition
Where reporter_type='6'
  and TO_DATE(:CURR_DAY, 'YYYYMMDD')
    = TO_DATE(TO_CHAR(report_date, 'YYYYMMDD'), 'YYYYMMDD')
   And INDIVIDUAL_ID in ( Select INDIVIDUAL_ID From INDIVIDUAL Where CUR = 'Y' )
Order by seq_num
-- @ guidance register
select REQUISITION_NUM, SEQ_NUM,
  TO_CHAR(REPORT_DATE, 'MM   DD') DDay,
  TO_CHAR(REPORT_DATE, 'HH24   MI') DTime,
  comments,
  decode(INCIDENT_TYPE, 'B','안내','D','기관 통보') INCIDENT_TYPE,
   INCIDENT_SUBTYPE, REPORTER_NAME,
  OPERATOR_NAME
from REPORT_REQUISITION
where INCIDENT_TYPE in ('B', 'D')
and TO_DATE(:Curr_Day, 'YYYYMMDD')
 =TO_DATE(TO_CHAR(REPORT_DATE, 'YYYYMMDD'), 'YYYYMMDD')
order by SEQ_NUM
-- @ guidance detail codes
Select * From BASE_CODE
Where BAS_LCOD = '100'
-- @ lost property register
select REQUISITION_NUM, seq_num,
       concat( concat( concat( TO_CHAR(report_date, 'MM'),'월'),TO_CHAR(report_date, 'DD')),'일') MMDD,
       concat( concat( concat( TO_CHAR(report_date, 'HH24'),'시'),TO_CHAR(report_date, 'MI')),'분') HHMI,
       comments,
       reporter_name,
       decode(SPEED, '1', '분실',
                     '2', '습득',
                     '3', '도난차량',
                     '4', '기타',
                     '5', '분실(처리)',
                     '6', '습득(처리)',
                     '7', '도난차량(처리)',
                     '8', '기타(처리)' ) SPEED_T,
       decode(reporter_type, '1','통신원','2','경찰제보처','3','시민','4','직원',
                 '5','운영자','6','고정제보처','7','기타',8,'기관',
                 'Z','기타') reporter_type,
                 operator_name
from report_requisition
where SPEED <> 0
  and TO_DATE(:Curr_Day, 'YYYYMMDD')
    = TO_DATE(TO_CHAR(report_date, 'YYYYMMDD'), 'YYYYMMDD')
order by seq_num
-- @ account lookup
SELECT * FROM USER_MANAGE
-- @ operator names
 select individual_name from individual where  type = '5' or type = 'A'
-- @ browser plain
 select ROWNUM,seq_num,x.*,  decode(reporter_type, '1' , '통신원' , '2' , '경찰제보처', '3' , '시민' , '4' , '직원', '5' , '운영자' , '6' , '고정제보처', '7' , '기타' , '8' , '기관' ,'Z' , '기타') repo_type, decode(INCIDENT_TYPE, '1' , '공사' , '2' , '행사','E' , '정체','D' , '기관', '3' , '사고' , '4' , '기상','A' , '원활', 'B' , '안내',  'Z' , '기타' ) inci_type, TO_CHAR(x.REPORT_DATE,'YYYY-MM-DD HH24:MI') REPO_DATE,  TO_CHAR(x.REGISTE_DATE,'YYYY-MM-DD HH24:MI') REGI_DATE  from  REPORT_REQUISITION x  where  x.REPORT_DATE >= to_date('2004-01-07 09:00','YYYY-MM-DD HH24:MI') and x.REPORT_DATE <= to_date('2004-01-07 10:00','YYYY-MM-DD HH24:MI') Order By REPORT_DATE
-- @ browser criteria
 select ROWNUM,seq_num,x.*,  decode(reporter_type, '1' , '통신원' , '2' , '경찰제보처', '3' , '시민' , '4' , '직원', '5' , '운영자' , '6' , '고정제보처', '7' , '기타' , '8' , '기관' ,'Z' , '기타') repo_type, decode(INCIDENT_TYPE, '1' , '공사' , '2' , '행사','E' , '정체','D' , '기관', '3' , '사고' , '4' , '기상','A' , '원활', 'B' , '안내',  'Z' , '기타' ) inci_type, TO_CHAR(x.REPORT_DATE,'YYYY-MM-DD HH24:MI') REPO_DATE,  TO_CHAR(x.REGISTE_DATE,'YYYY-MM-DD HH24:MI') REGI_DATE  from  REPORT_REQUISITION x  where  x.REPORT_DATE >= to_date('2004-01-07 09:00','YYYY-MM-DD HH24:MI') and x.REPORT_DATE <= to_date('2004-01-07 10:00','YYYY-MM-DD HH24:MI') and  REPORTER_TYPE = '3' and ( x.BROAD_FLAG <> '1' Or x.BROAD_FLAG is Null ) and x.SEND_FLAG = '1'  Order By REPORT_DATE
-- @ browser operator
 select ROWNUM,seq_num,x.*,  decode(reporter_type, '1' , '통신원' , '2' , '경찰제보처', '3' , '시민' , '4' , '직원', '5' , '운영자' , '6' , '고정제보처', '7' , '기타' , '8' , '기관' ,'Z' , '기타') repo_type, decode(INCIDENT_TYPE, '1' , '공사' , '2' , '행사','E' , '정체','D' , '기관', '3' , '사고' , '4' , '기상','A' , '원활', 'B' , '안내',  'Z' , '기타' ) inci_type, TO_CHAR(x.REPORT_DATE,'YYYY-MM-DD HH24:MI') REPO_DATE,  TO_CHAR(x.REGISTE_DATE,'YYYY-MM-DD HH24:MI') REGI_DATE  from  REPORT_REQUISITION x  where  x.REPORT_DATE >= to_date('2004-01-07 09:00','YYYY-MM-DD HH24:MI') and x.REPORT_DATE <= to_date('2004-01-07 10:00','YYYY-MM-DD HH24:MI') and  OPERATOR_NAME = '김접수' and x.SEND_FLAG <> '1'  Order By REPORT_DATE
-- @ message
SELECT M_TITLE, M_DESC
  FROM MESSAGE
WHERE M_CODE = :ErrCode
-- @ login check
SELECT * FROM USER_MANAGE
WHERE USERID = :UserID
AND      USERPASS = :UserPass
AND      APPNAME = :AppName
-- @ usage record
INSERT INTO USER_RECORD
               (RECORDDATE, USERID, IPADDRESS, APPNAME, ACTION)
VALUES (SYSDATE, :UserID, :IPaddr, :AppName, :Action)
-- @ period reference day
SELECT decode(TO_CHAR(SYSDATE,'yyyymmdd'),'20040107', TO_CHAR(SYSDATE-1,'yyyymmdd'),'20040107') FROM DUAL
-- @ period day of week
SELECT TO_CHAR(  TO_DATE('20040107', 'yyyymmdd'), 'D') FROM DUAL
-- @ period week start
SELECT TO_CHAR((TO_DATE('20040107', 'yyyymmdd') -(TO_NUMBER(TO_CHAR( TO_DATE('20040107', 'yyyymmdd'), 'D'))) + 2 - 7  ), 'yyyymmdd') FROM DUAL
-- @ period week end sunday
SELECT TO_CHAR((TO_DATE('20040111', 'yyyymmdd') -(TO_NUMBER(TO_CHAR( TO_DATE('20040111', 'yyyymmdd'), 'D'))) + 2 - 1  - 7 ), 'yyyymmdd') FROM DUAL
-- @ period month
SELECT TO_CHAR(( TO_DATE('20040107', 'yyyymmdd')  - (TO_NUMBER(TO_CHAR( TO_DATE('20040107', 'yyyymmdd')  , 'DD')) )), 'yyyymm') FROM DUAL