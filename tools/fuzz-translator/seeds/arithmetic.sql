select speed + :a, speed - :b, speed * :a, speed / :b, -speed, :a / :b, trunc(speed / :a, :b), round(:a, speed),
       abs(:b), to_number(:a), nvl(speed, :b) from report_requisition where speed <> :a
